#include "app/Application.h"

#include <algorithm>

namespace mapfeed {

Application::Application(Services& services_, WindowHost& host_)
    : services(services_), host(host_), mapfeed(host_, options, services_, *this) {
    auto dialog = [](const char* name, auto make) {
        return WindowEntry{name, std::move(make), nullptr};
    };
    dialogs_.push_back(dialog("pntsym", [this](WindowHost& h) {
        return std::make_unique<SymbologyDialog>(h, options, SymbologyDialog::kPoint);
    }));
    dialogs_.push_back(dialog("linesym", [this](WindowHost& h) {
        return std::make_unique<SymbologyDialog>(h, options, SymbologyDialog::kLine);
    }));
    dialogs_.push_back(dialog("textsym", [this](WindowHost& h) {
        return std::make_unique<TextSymbologyDialog>(h, options);
    }));
    dialogs_.push_back(dialog("cellopts", [this](WindowHost& h) {
        CellOptionsDialog::Effects effects{[this] { browFrm().show(); },
                                           [this] { mapfeed.CentrCmb.setText("Point"); }};
        return std::make_unique<CellOptionsDialog>(h, options, services, std::move(effects));
    }));
    dialogs_.push_back(dialog("rasterinfo", [this](WindowHost& h) {
        return std::make_unique<RasterInfoDialog>(h, options, services);
    }));
    dialogs_.push_back(dialog("BrowFrm", [this](WindowHost& h) {
        BrowseWindow::Delivery delivery{[this](const std::string& path) { mapfeed.InfileTxt.setText(path); },
                                        [this](const std::string& path) { mapfeed.DgnFileTxt.setText(path); }};
        return std::make_unique<BrowseWindow>(h, services, std::move(delivery));
    }));
}

Application::~Application() {
    // Whoever shows the windows lets go of them before the controls they show are gone: the
    // dialogs first, then the main window they stand beside.
    const std::vector<Window*> all = windows();
    for (auto window = all.rbegin(); window != all.rend(); ++window) host.discarded(**window);
}

void Application::start() {
    mapfeed.Form_Load();
    host.created(mapfeed);
    mapfeed.show();
}

template <typename T>
T& Application::ensure(const char* name) {
    auto entry = std::find_if(dialogs_.begin(), dialogs_.end(), [name](const WindowEntry& e) { return e.name == name; });
    if (!entry->window) {
        entry->window = entry->make(host);
        host.created(*entry->window);
    }
    return static_cast<T&>(*entry->window);
}

SymbologyDialog& Application::pntsym() { return ensure<SymbologyDialog>("pntsym"); }
SymbologyDialog& Application::linesym() { return ensure<SymbologyDialog>("linesym"); }
TextSymbologyDialog& Application::textsym() { return ensure<TextSymbologyDialog>("textsym"); }
CellOptionsDialog& Application::cellopts() { return ensure<CellOptionsDialog>("cellopts"); }
RasterInfoDialog& Application::rasterinfo() { return ensure<RasterInfoDialog>("rasterinfo"); }
BrowseWindow& Application::browFrm() { return ensure<BrowseWindow>("BrowFrm"); }

std::vector<Window*> Application::windows() {
    std::vector<Window*> all{&mapfeed};
    for (const WindowEntry& entry : dialogs_)
        if (entry.window) all.push_back(entry.window.get());
    return all;
}

void Application::closeThroughFrame(Window& window) {
    if (&window == &mapfeed) {
        mapfeed.CloseCmd_Click();
        return;
    }
    for (WindowEntry& entry : dialogs_) {
        if (entry.window.get() != &window) continue;
        host.discarded(window);
        entry.window.reset();
        return;
    }
}

}  // namespace mapfeed

#include "app/Application.h"

namespace mapfeed {

namespace {

/// Shows nothing: the host of windows made only to be looked at.
class SilentHost : public WindowHost {
public:
    void created(Window&) override {}
    void shown(Window&) override {}
    void hidden(Window&) override {}
    void discarded(Window&) override {}
    void focusMoved(Window&, Control&) override {}
};

SilentHost silentHost;

}  // namespace

Application::Application(Services& services_, WindowHost& host_)
    : services(services_), host(host_), mapfeed(*this, host_) {}

Application::~Application() {
    // Whoever shows the windows lets go of them before the controls they show are gone.
    for (Window* window : windows()) host.discarded(*window);
}

void Application::start() {
    mapfeed.Form_Load();
    host.created(mapfeed);
    mapfeed.show();
}

template <typename T, typename... Args>
T& Application::ensure(std::unique_ptr<T>& slot, Args&&... args) {
    if (!slot) {
        slot = std::make_unique<T>(*this, host, std::forward<Args>(args)...);
        host.created(*slot);
    }
    return *slot;
}

SymbologyDialog& Application::pntsym() { return ensure(pntsym_, SymbologyDialog::kPoint); }
SymbologyDialog& Application::linesym() { return ensure(linesym_, SymbologyDialog::kLine); }
TextSymbologyDialog& Application::textsym() { return ensure(textsym_); }
CellOptionsDialog& Application::cellopts() { return ensure(cellopts_); }
RasterInfoDialog& Application::rasterinfo() { return ensure(rasterinfo_); }

BrowseWindow& Application::browFrm() { return ensure(browFrm_); }

void Application::openBrowse() { browFrm().show(); }

std::vector<Window*> Application::windows() {
    std::vector<Window*> all{&mapfeed};
    for (Window* dialog : std::initializer_list<Window*>{pntsym_.get(), linesym_.get(), textsym_.get(),
                                                         cellopts_.get(), rasterinfo_.get(), browFrm_.get()})
        if (dialog) all.push_back(dialog);
    return all;
}

Window* Application::window(const std::string& name) {
    for (Window* w : windows())
        if (w->name() == name) return w;
    return nullptr;
}

bool Application::knowsWindow(const std::string& name) const {
    for (const char* known : {"mapfeed", "pntsym", "linesym", "textsym", "cellopts", "rasterinfo", "BrowFrm"})
        if (name == known) return true;
    return false;
}

std::unique_ptr<Window> Application::makeWindow(const std::string& name, WindowHost& quietHost) {
    if (name == "pntsym") return std::make_unique<SymbologyDialog>(*this, quietHost, SymbologyDialog::kPoint);
    if (name == "linesym") return std::make_unique<SymbologyDialog>(*this, quietHost, SymbologyDialog::kLine);
    if (name == "textsym") return std::make_unique<TextSymbologyDialog>(*this, quietHost);
    if (name == "cellopts") return std::make_unique<CellOptionsDialog>(*this, quietHost);
    if (name == "rasterinfo") return std::make_unique<RasterInfoDialog>(*this, quietHost);
    if (name == "BrowFrm") return std::make_unique<BrowseWindow>(*this, quietHost);
    return nullptr;
}

Control* Application::prototypeControl(const std::string& windowName, const std::string& controlName) {
    // Made afresh at every look: a first opening now would read the folders as they are now.
    auto& prototype = prototypes_[windowName];
    prototype = makeWindow(windowName, silentHost);
    return prototype ? prototype->find(controlName) : nullptr;
}

void Application::closeThroughFrame(Window& window) {
    if (&window == &mapfeed) {
        mapfeed.CloseCmd_Click();
        return;
    }
    auto discard = [this, &window](auto& slot) {
        if (slot.get() != &window) return false;
        host.discarded(window);
        slot.reset();
        return true;
    };
    discard(pntsym_) || discard(linesym_) || discard(textsym_) || discard(cellopts_) || discard(rasterinfo_) ||
        discard(browFrm_);
}

}  // namespace mapfeed

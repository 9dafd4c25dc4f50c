#include "app/Application.h"

#include "browse/BrowseWindow.h"
#include "dialogs/CellOptionsDialog.h"
#include "dialogs/RasterInfoDialog.h"
#include "dialogs/SymbologyDialog.h"
#include "dialogs/TextSymbologyDialog.h"

namespace mapfeed {

Application::Application(Services& services_, WindowHost& host_)
    : services(services_), host(host_), dialogs(host_), mapfeed(host_, options, services_, dialogs) {
    // The option dialogs in the order the main window's "Clear" resets them.
    dialogs.add<CellOptionsDialog>([this](WindowHost& h) {
        CellOptionsDialog::Effects effects{[this] { dialogs.get<BrowseWindow>().show(); },
                                           [this] { mapfeed.CentrCmb.setText("Point"); }};
        return std::make_unique<CellOptionsDialog>(h, options, services, services, std::move(effects));
    });
    dialogs.add<LineSymbologyDialog>([this](WindowHost& h) { return std::make_unique<LineSymbologyDialog>(h, options); });
    dialogs.add<PointSymbologyDialog>(
        [this](WindowHost& h) { return std::make_unique<PointSymbologyDialog>(h, options); });
    dialogs.add<RasterInfoDialog>(
        [this](WindowHost& h) { return std::make_unique<RasterInfoDialog>(h, options, services); });
    dialogs.add<TextSymbologyDialog>([this](WindowHost& h) { return std::make_unique<TextSymbologyDialog>(h, options); });
    dialogs.add<BrowseWindow>([this](WindowHost& h) {
        BrowseWindow::Delivery delivery{[this](const std::string& path) { mapfeed.InfileTxt.setText(path); },
                                        [this](const std::string& path) { mapfeed.DgnFileTxt.setText(path); },
                                        [this](const std::string& path) {
                                            dialogs.get<CellOptionsDialog>().CeTxt.setText(path);
                                        }};
        return std::make_unique<BrowseWindow>(h, services, services, std::move(delivery));
    });
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

std::vector<Window*> Application::windows() {
    std::vector<Window*> all{&mapfeed};
    for (Window* dialog : dialogs.existing()) all.push_back(dialog);
    return all;
}

void Application::closeThroughFrame(Window& window) {
    if (&window == &mapfeed)
        mapfeed.CloseCmd_Click();
    else
        dialogs.discard(window);
}

}  // namespace mapfeed

#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "app/Services.h"
#include "app/WindowHost.h"
#include "browse/BrowseWindow.h"
#include "dialogs/CellOptionsDialog.h"
#include "dialogs/RasterInfoDialog.h"
#include "dialogs/SymbologyDialog.h"
#include "dialogs/TextSymbologyDialog.h"
#include "job/OptionTable.h"

namespace mapfeed {

/// Owns the option table, the main window and the dialogs, and the services they use. Each
/// dialog exists once: it is made on first use and discarded when closed through its frame,
/// to be made afresh, with its initial texts, at its next use.
class Application {
public:
    Application(Services& services, WindowHost& host);
    ~Application();

    /// Runs the main window's start-up rule and shows it.
    void start();

    OptionTable options;
    Services& services;
    WindowHost& host;
    MainWindow mapfeed;

    SymbologyDialog& pntsym();
    SymbologyDialog& linesym();
    TextSymbologyDialog& textsym();
    CellOptionsDialog& cellopts();
    RasterInfoDialog& rasterinfo();
    BrowseWindow& browFrm();
    /// Shows the Browse window, making it first if it does not exist.
    void openBrowse();

    /// The window of that name if it exists now, else nullptr.
    Window* window(const std::string& name);
    /// Every window that exists now, the main window first.
    std::vector<Window*> windows();
    /// Whether a window of that name can exist in this program (it may not exist yet).
    bool knowsWindow(const std::string& name) const;
    /// A control of a window that does not exist yet, as it would be at the window's first
    /// opening now; nullptr for an unknown name. Valid until the next call.
    Control* prototypeControl(const std::string& windowName, const std::string& controlName);

    /// Closing through the window frame: the main window ends the program like "Close";
    /// a dialog is discarded.
    void closeThroughFrame(Window& window);

private:
    template <typename T, typename... Args>
    T& ensure(std::unique_ptr<T>& slot, Args&&... args);
    std::unique_ptr<Window> makeWindow(const std::string& name, WindowHost& host);

    std::unique_ptr<SymbologyDialog> pntsym_;
    std::unique_ptr<SymbologyDialog> linesym_;
    std::unique_ptr<TextSymbologyDialog> textsym_;
    std::unique_ptr<CellOptionsDialog> cellopts_;
    std::unique_ptr<RasterInfoDialog> rasterinfo_;
    std::unique_ptr<BrowseWindow> browFrm_;
    std::map<std::string, std::unique_ptr<Window>> prototypes_;
};

}  // namespace mapfeed

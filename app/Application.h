#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "app/OptionDialogs.h"
#include "app/Services.h"
#include "app/WindowHost.h"
#include "browse/BrowseWindow.h"
#include "job/OptionTable.h"

namespace mapfeed {

/// The composition root: owns the option table, the main window and the dialogs, and hands
/// each window only the services and effects it uses. Each dialog exists once: it is made on
/// first use and discarded when closed through its frame, to be made afresh, with its initial
/// texts, at its next use.
class Application : private OptionDialogs {
public:
    /// One window the program can show: its name, its owner (empty until it is first made)
    /// and how it is made.
    struct WindowEntry {
        std::string name;
        std::function<std::unique_ptr<Window>(WindowHost&)> make;
        std::unique_ptr<Window> window;
    };

    Application(Services& services, WindowHost& host);
    ~Application() override;

    /// Runs the main window's start-up rule and shows it.
    void start();

    ObservedOptionTable options;
    Services& services;
    WindowHost& host;
    MainWindow mapfeed;

    SymbologyDialog& pntsym() override;
    SymbologyDialog& linesym() override;
    TextSymbologyDialog& textsym() override;
    CellOptionsDialog& cellopts() override;
    RasterInfoDialog& rasterinfo() override;
    BrowseWindow& browFrm();

    /// Every window but the main one, in a fixed order, whether it exists now or not.
    const std::vector<WindowEntry>& dialogTable() const { return dialogs_; }
    /// Every window that exists now, the main window first.
    std::vector<Window*> windows();

    /// Closing through the window frame: the main window ends the program like "Close";
    /// a dialog is discarded.
    void closeThroughFrame(Window& window);

private:
    template <typename T>
    T& ensure(const char* name);

    std::vector<WindowEntry> dialogs_;
};

}  // namespace mapfeed

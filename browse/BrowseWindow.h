#pragma once

#include <functional>
#include <string>

#include "ui/Services.h"
#include "ui/Window.h"
#include "browse/BrowseLists.h"

namespace mapfeed {

/// "Browse" (`BrowFrm`): walks drives and folders and writes the chosen file's path: a cell
/// library (a name ending in "cel") into the cell dialog's file field, a name ending in "dgn"
/// into the main window's design-file field, any other into its input field.
class BrowseWindow : public Window {
public:
    static constexpr const char* kName = "BrowFrm";

    /// Where a chosen path goes: the main window's input-file or design-file field, or the cell
    /// dialog's library field.
    struct Delivery {
        std::function<void(const std::string&)> toInputFile;
        std::function<void(const std::string&)> toDesignFile;
        std::function<void(const std::string&)> toCellLibrary;
    };

    BrowseWindow(WindowHost& host, FolderServices& folders, MessageBoxes& messages, Delivery delivery);

    void Form_Load();
    void Drive1_Change();
    void Dir1_Change();
    void ExtCmbo_Change();
    void ExtCmbo_Click();
    void File1_DblClick();
    void OkCmd_Click();
    void EndCmd_Click();

    DriveList Drive1;
    FolderList Dir1;
    FileList File1;
    Button OkCmd{*this, "OkCmd", "OK"};
    Button EndCmd{*this, "EndCmd", "Cancel"};
    ListBox ExtCmbo{*this, "ExtCmbo"};

private:
    /// Writes the folder and the selected name into the field its name ending calls for.
    void deliverSelection();

    Delivery delivery_;
};

}  // namespace mapfeed

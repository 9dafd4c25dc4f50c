#pragma once

#include "app/Window.h"
#include "browse/BrowseLists.h"

namespace mapfeed {

class Application;

/// "Browse" (`BrowFrm`): walks drives and folders and writes the chosen file's path into the
/// main window: into the design-file field when the name ends in "dgn", else the input field.
class BrowseWindow : public Window {
public:
    BrowseWindow(Application& app, WindowHost& host);

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
    /// Writes the folder and the selected name into the main window's matching field.
    void deliverSelection();

    Application& app_;
};

}  // namespace mapfeed

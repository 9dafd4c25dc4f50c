#pragma once

#include "app/Window.h"

namespace mapfeed {

class Application;

/// "Cell Information" (`cellopts`): the cell file (slot 12, "-ce") and the cell name
/// (slot 13, "-cn") for the point type "Cells".
class CellOptionsDialog : public Window {
public:
    CellOptionsDialog(Application& app, WindowHost& host);

    void ApplyCmd_Click();
    void CloseCmd_Click();
    void Br1Cmd_Click();
    void Br2Cmd_Click();
    /// Step of the main window's "Clear": empty the fields and hide.
    void clearFromMainWindow();

    TextField CeTxt{*this, "CeTxt"};
    Label Label1{*this, "Label1", "Cell Filename"};
    TextField CnTxt{*this, "CnTxt"};
    Label Label2{*this, "Label2", "Cell Name"};
    Button ApplyCmd{*this, "ApplyCmd", "Apply"};
    Button CloseCmd{*this, "CloseCmd", "Close"};
    Button Br1Cmd{*this, "Br1Cmd", "Browse"};
    Button Br2Cmd{*this, "Br2Cmd", "Browse"};

private:
    Application& app_;
};

}  // namespace mapfeed

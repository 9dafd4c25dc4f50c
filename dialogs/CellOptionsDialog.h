#pragma once

#include <functional>

#include "app/Services.h"
#include "app/Window.h"
#include "job/OptionTable.h"

namespace mapfeed {

/// "Cell Information" (`cellopts`): the cell file (slot 12, "-ce") and the cell name
/// (slot 13, "-cn") for the point type "Cells".
class CellOptionsDialog : public Window {
public:
    /// What the dialog does beyond its own fields and slots.
    struct Effects {
        std::function<void()> openBrowse;
        /// Shows "Point" as the main window's point/centroid type, without a pick.
        std::function<void()> showPointType;
    };

    CellOptionsDialog(WindowHost& host, OptionTable& options, MessageBoxes& messages, Effects effects);

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
    OptionTable& options_;
    MessageBoxes& messages_;
    Effects effects_;
};

}  // namespace mapfeed

#pragma once

#include <functional>

#include "job/OptionTable.h"
#include "ui/OptionDialog.h"
#include "ui/Services.h"

namespace mapfeed {

/// "Cell Information" (`cellopts`): the cell file (slot 12, "-ce") and the cell name
/// (slot 13, "-cn") for the point type "Cells". The name field offers the names of the cells in
/// the library the file field names.
class CellOptionsDialog : public OptionDialog {
public:
    static constexpr const char* kName = "cellopts";
    static constexpr Slot kWrites[] = {Slot::CellLibrary, Slot::CellName};

    /// What the dialog does beyond its own fields and slots.
    struct Effects {
        std::function<void()> openBrowse;
        /// Shows "Point" as the main window's point/centroid type, without a pick.
        std::function<void()> showPointType;
    };

    CellOptionsDialog(WindowHost& host, OptionTable& options, MessageBoxes& messages, CellLibraries& libraries,
                      Effects effects);

    void ApplyCmd_Click();
    void CloseCmd_Click();
    void Br1Cmd_Click();
    void Br2Cmd_Click();
    /// Empties the fields and hides.
    void clearFromMainWindow() override;
    std::vector<TextField*> fieldsOf(Slot slot) override;

    TextField CeTxt{*this, "CeTxt"};
    Label Label1{*this, "Label1", "Cell Filename"};
    TextField CnTxt{*this, "CnTxt"};
    Label Label2{*this, "Label2", "Cell Name"};
    Button ApplyCmd{*this, "ApplyCmd", "Apply"};
    Button CloseCmd{*this, "CloseCmd", "Close"};
    Button Br1Cmd{*this, "Br1Cmd", "Browse"};
    Button Br2Cmd{*this, "Br2Cmd", "Browse"};

private:
    /// Asks for the cell names of the library in CeTxt, unless they were asked for already.
    void offerCellNames();

    OptionTable& options_;
    MessageBoxes& messages_;
    CellLibraries& libraries_;
    Effects effects_;
    std::string namesOf_;  ///< the library whose names were asked for last
};

}  // namespace mapfeed

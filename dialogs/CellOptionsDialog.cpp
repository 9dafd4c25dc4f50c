#include "dialogs/CellOptionsDialog.h"

#include "app/Application.h"

namespace mapfeed {

CellOptionsDialog::CellOptionsDialog(Application& app, WindowHost& host)
    : Window(host, "cellopts", "Cell Information", 5070, 1680), app_(app) {
    place(CeTxt, nullptr, 1440, 120, 2535, 375, 0);
    place(Label1, nullptr, 120, 240, 1215, 375, 1);
    place(CnTxt, nullptr, 1440, 600, 2535, 375, 2);
    place(Label2, nullptr, 120, 600, 1215, 375, 3);
    place(ApplyCmd, nullptr, 720, 1200, 1215, 375, 4);
    place(CloseCmd, nullptr, 2040, 1200, 1215, 375, 5);
    place(Br1Cmd, nullptr, 4080, 120, 855, 375, 6);
    place(Br2Cmd, nullptr, 4080, 600, 855, 375, 7);
    CeTxt.namedBy = &Label1;
    CnTxt.namedBy = &Label2;
    Br1Cmd.accessibleName = "Browse (Cell Filename)";
    Br2Cmd.accessibleName = "Browse (Cell Name)";

    ApplyCmd.onClick = [this] { ApplyCmd_Click(); };
    CloseCmd.onClick = [this] { CloseCmd_Click(); };
    Br1Cmd.onClick = [this] { Br1Cmd_Click(); };
    Br2Cmd.onClick = [this] { Br2Cmd_Click(); };
}

void CellOptionsDialog::ApplyCmd_Click() {
    if (CeTxt.text().empty()) {
        if (app_.services.messageBox("You Must Enter a File Name", MessageButtons::OkCancel) == MessageAnswer::Cancel) {
            // The cell choice is abandoned as a whole. Writing the shown text is no pick, so the
            // type list's rule does not run.
            hide();
            app_.options.ClearOption(12);
            app_.options.ClearOption(13);
            app_.mapfeed.CentrCmb.setText("Point");
            return;
        }
        setFocus(CeTxt);
        return;
    }
    app_.options.SetOption(12, "-ce", CeTxt.text());
    if (!CnTxt.text().empty())
        app_.options.SetOption(13, "-cn", CnTxt.text());
    else
        app_.options.ClearOption(13);
    hide();
}

void CellOptionsDialog::CloseCmd_Click() {
    // The fields decide, not the slots: an option applied before and erased by hand since stays.
    if (!CeTxt.text().empty()) {
        app_.options.ClearOption(12);
        CeTxt.setText("");
    }
    if (!CnTxt.text().empty()) {
        app_.options.ClearOption(13);
        CnTxt.setText("");
    }
    hide();
}

void CellOptionsDialog::Br1Cmd_Click() { app_.openBrowse(); }

void CellOptionsDialog::Br2Cmd_Click() { app_.openBrowse(); }

void CellOptionsDialog::clearFromMainWindow() {
    CeTxt.setText("");
    CnTxt.setText("");
    hide();
}

}  // namespace mapfeed

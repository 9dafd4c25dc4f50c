#include "dialogs/CellOptionsDialog.h"

namespace mapfeed {

CellOptionsDialog::CellOptionsDialog(WindowHost& host, OptionTable& options, MessageBoxes& messages,
                                     CellLibraries& libraries, Effects effects)
    : OptionDialog(host, kName, "Cell Information", 5070, 1680),
      options_(options),
      messages_(messages),
      libraries_(libraries),
      effects_(std::move(effects)) {
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
    CnTxt.onOffersWanted = [this] { offerCellNames(); };
}

void CellOptionsDialog::offerCellNames() {
    const std::string library = CeTxt.text();
    if (library == namesOf_) return;
    namesOf_ = library;
    if (library.empty()) {
        CnTxt.setOffers({});
        return;
    }
    // The answer may come after the dialog was closed through its frame, or after the file
    // field changed again: it is taken only by the same field still naming the same library.
    libraries_.readCellNames(library, [this, alive = CnTxt.lifetime(), library](std::vector<std::string> names) {
        if (alive.expired() || CeTxt.text() != library) return;
        if (names.empty()) namesOf_.clear();  // asked again next time: the file may come
        CnTxt.setOffers(std::move(names));
    });
}

void CellOptionsDialog::ApplyCmd_Click() {
    if (CeTxt.text().empty()) {
        if (messages_.messageBox("You Must Enter a File Name", MessageButtons::OkCancel) == MessageAnswer::Cancel) {
            // The cell choice is abandoned as a whole. Writing the shown text is no pick, so the
            // type list's rule does not run.
            hide();
            options_.ClearOption(Slot::CellLibrary);
            options_.ClearOption(Slot::CellName);
            effects_.showPointType();
            return;
        }
        setFocus(CeTxt);
        return;
    }
    options_.SetOption(Slot::CellLibrary, "-ce", CeTxt.text());
    if (!CnTxt.text().empty())
        options_.SetOption(Slot::CellName, "-cn", CnTxt.text());
    else
        options_.ClearOption(Slot::CellName);
    hide();
}

void CellOptionsDialog::CloseCmd_Click() {
    // The fields decide, not the slots: an option applied before and erased by hand since stays.
    if (!CeTxt.text().empty()) {
        options_.ClearOption(Slot::CellLibrary);
        CeTxt.setText("");
    }
    if (!CnTxt.text().empty()) {
        options_.ClearOption(Slot::CellName);
        CnTxt.setText("");
    }
    hide();
}

void CellOptionsDialog::Br1Cmd_Click() { effects_.openBrowse(); }

void CellOptionsDialog::Br2Cmd_Click() { effects_.openBrowse(); }

void CellOptionsDialog::clearFromMainWindow() {
    CeTxt.setText("");
    CnTxt.setText("");
    hide();
}

std::vector<TextField*> CellOptionsDialog::fieldsOf(Slot slot) {
    switch (slot) {
        case Slot::CellLibrary: return {&CeTxt};
        case Slot::CellName: return {&CnTxt};
        default: return {};
    }
}

}  // namespace mapfeed

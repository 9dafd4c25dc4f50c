#include "dialogs/TextSymbologyDialog.h"

#include "dialogs/DialogLayout.h"

namespace mapfeed {

TextSymbologyDialog::TextSymbologyDialog(WindowHost& host, OptionTable& options)
    : OptionDialog(host, kName, "Text Symbology", 2580, 1935), options_(options) {
    place(Label1, nullptr, 240, 225, 1500, 285, 0);
    place(Label2, nullptr, 270, 510, 1500, 285, 1);
    place(Label3, nullptr, 270, 795, 1500, 285, 2);
    place(ApplyCmd, nullptr, 480, 1320, 720, 330, 3);
    place(EndCmd, nullptr, 1320, 1320, 960, 330, 4);
    place(FontTxt, nullptr, 1800, 240, 495, 285, 5);
    place(SizeTxt, nullptr, 1800, 525, 495, 285, 6);
    place(JustTxt, nullptr, 1800, 810, 495, 285, 7);
    useDialogFonts({&ApplyCmd, &EndCmd}, {&Label1, &Label2, &Label3});
    FontTxt.namedBy = &Label1;
    SizeTxt.namedBy = &Label2;
    JustTxt.namedBy = &Label3;
    restoreInitialTexts();

    ApplyCmd.onClick = [this] { ApplyCmd_Click(); };
    EndCmd.onClick = [this] { EndCmd_Click(); };
}

void TextSymbologyDialog::restoreInitialTexts() {
    FontTxt.setText("0");
    SizeTxt.setText("100");
    JustTxt.setText("2");
}

void TextSymbologyDialog::applyField(const TextField& field, Slot slot, const char* flag) {
    if (!field.text().empty())
        options_.SetOption(slot, flag, field.text());
    else
        options_.BlankOption(slot);
}

void TextSymbologyDialog::ApplyCmd_Click() {
    applyField(FontTxt, Slot::Font, "-f");
    applyField(JustTxt, Slot::Justification, "-J");
    applyField(SizeTxt, Slot::TextSize, "-txsz");
    hide();
}

void TextSymbologyDialog::EndCmd_Click() {
    // Unlike the symbology dialogs, "Cancel" leaves an applied text symbology in force.
    hide();
    restoreInitialTexts();
}

void TextSymbologyDialog::clearFromMainWindow() {
    restoreInitialTexts();
    hide();
}

std::vector<TextField*> TextSymbologyDialog::fieldsOf(Slot slot) {
    switch (slot) {
        case Slot::Font: return {&FontTxt};
        case Slot::TextSize: return {&SizeTxt};
        case Slot::Justification: return {&JustTxt};
        default: return {};
    }
}

}  // namespace mapfeed

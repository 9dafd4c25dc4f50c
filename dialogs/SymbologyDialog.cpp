#include "dialogs/SymbologyDialog.h"

#include "dialogs/DialogLayout.h"

namespace mapfeed {

namespace {

const SymbologyDialog::Kind kPoint{PointSymbologyDialog::kName, "Point Symbology", Slot::PointSymbology, "-sp", 960, "0"};
const SymbologyDialog::Kind kLine{LineSymbologyDialog::kName, "Line Symbology", Slot::LineSymbology, "-sl", 840, ""};

}  // namespace

PointSymbologyDialog::PointSymbologyDialog(WindowHost& host, OptionTable& options)
    : SymbologyDialog(host, options, kPoint) {}

LineSymbologyDialog::LineSymbologyDialog(WindowHost& host, OptionTable& options)
    : SymbologyDialog(host, options, kLine) {}

SymbologyDialog::SymbologyDialog(WindowHost& host, OptionTable& options, const Kind& kind)
    : OptionDialog(host, kind.name, kind.caption, 2580, 1935), options_(options), kind_(kind) {
    place(Label1, nullptr, 240, 225, 1500, 285, 0);
    place(Label2, nullptr, 270, 510, 1500, 285, 1);
    place(Label3, nullptr, 270, 795, 1500, 285, 2);
    place(ApplyCmd, nullptr, 480, 1320, 720, 330, 3);
    place(EndCmd, nullptr, 1440, 1320, kind.endCmdWidth, 330, 4);
    place(OutStyTxt, nullptr, 1800, 240, 495, 285, 5);
    place(OutWtTxt, nullptr, 1800, 525, 495, 285, 6);
    place(OutColorTxt, nullptr, 1800, 810, 495, 285, 7);
    useDialogFonts({&ApplyCmd, &EndCmd}, {&Label1, &Label2, &Label3});
    OutStyTxt.namedBy = &Label1;
    OutWtTxt.namedBy = &Label2;
    OutColorTxt.namedBy = &Label3;
    setFields("0");

    ApplyCmd.onClick = [this] { ApplyCmd_Click(); };
    EndCmd.onClick = [this] { EndCmd_Click(); };
}

void SymbologyDialog::setFields(const char* text) {
    OutStyTxt.setText(text);
    OutWtTxt.setText(text);
    OutColorTxt.setText(text);
}

void SymbologyDialog::ApplyCmd_Click() {
    options_.SetOption(kind_.slot, kind_.flag, OutStyTxt.text() + "," + OutWtTxt.text() + "," + OutColorTxt.text());
    hide();
}

void SymbologyDialog::EndCmd_Click() {
    hide();
    setFields("0");
    // A slot that was never applied stays empty; an applied one is blanked, not emptied.
    if (!options_.flag(kind_.slot).empty()) options_.BlankOption(kind_.slot);
}

void SymbologyDialog::clearFromMainWindow() {
    // The order of the writes is color, style, weight.
    OutColorTxt.setText(kind_.textAfterClear);
    OutStyTxt.setText(kind_.textAfterClear);
    OutWtTxt.setText(kind_.textAfterClear);
    hide();
}

std::vector<TextField*> SymbologyDialog::fieldsOf(Slot slot) {
    if (slot != kind_.slot) return {};
    return {&OutStyTxt, &OutWtTxt, &OutColorTxt};
}

}  // namespace mapfeed

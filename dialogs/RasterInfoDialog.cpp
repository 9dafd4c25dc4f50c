#include "dialogs/RasterInfoDialog.h"


namespace mapfeed {

RasterInfoDialog::RasterInfoDialog(WindowHost& host, OptionTable& options, MessageBoxes& messages)
    : OptionDialog(host, kName, "Raster Information", 4680, 1680), options_(options), messages_(messages) {
    place(Label1, nullptr, 120, 120, 2295, 255, 0);
    place(Label2, nullptr, 120, 480, 2295, 255, 1);
    place(Label3, nullptr, 120, 840, 2295, 255, 2);
    place(UlhxTxt, nullptr, 2520, 120, 1935, 285, 3);
    place(UlhyTxt, nullptr, 2520, 480, 1935, 285, 4);
    place(PixszTxt, nullptr, 2520, 840, 1935, 285, 5);
    place(ApplyCmd, nullptr, 1253, 1320, 975, 255, 6);
    place(EndCmd, nullptr, 2453, 1320, 975, 255, 7);
    UlhxTxt.namedBy = &Label1;
    UlhyTxt.namedBy = &Label2;
    PixszTxt.namedBy = &Label3;

    ApplyCmd.onClick = [this] { ApplyCmd_Click(); };
    EndCmd.onClick = [this] { EndCmd_Click(); };
}

void RasterInfoDialog::ApplyCmd_Click() {
    TextField* firstEmpty = nullptr;
    for (TextField* field : {&UlhxTxt, &UlhyTxt, &PixszTxt}) {
        if (field->text().empty()) {
            firstEmpty = field;
            break;
        }
    }
    if (firstEmpty) {
        const MessageAnswer answer =
            messages_.messageBox("You Must Enter a ULHX, ULHY and Pixel Size", MessageButtons::OkCancel);
        if (answer == MessageAnswer::Cancel) {
            // The raster option is abandoned; the tick of the main window's box stays.
            hide();
            options_.ClearOption(Slot::Raster);
            return;
        }
        setFocus(*firstEmpty);
        return;
    }
    options_.SetOption(Slot::Raster, "-R", UlhxTxt.text() + "," + UlhyTxt.text() + "," + PixszTxt.text());
    hide();
}

void RasterInfoDialog::EndCmd_Click() {
    hide();
    options_.ClearOption(Slot::Raster);
    UlhxTxt.setText("");
    UlhyTxt.setText("");
    PixszTxt.setText("");
}

void RasterInfoDialog::clearFromMainWindow() {
    UlhxTxt.setText("");
    UlhyTxt.setText("");
    PixszTxt.setText("");
    hide();
}

std::vector<TextField*> RasterInfoDialog::fieldsOf(Slot slot) {
    if (slot != Slot::Raster) return {};
    return {&UlhxTxt, &UlhyTxt, &PixszTxt};
}

}  // namespace mapfeed

#pragma once

#include "ui/Services.h"
#include "job/OptionTable.h"
#include "ui/OptionDialog.h"

namespace mapfeed {

/// "Raster Information" (`rasterinfo`): the grid's upper left-hand corner and pixel size,
/// joined by commas into option slot 26 ("-R").
class RasterInfoDialog : public OptionDialog {
public:
    static constexpr const char* kName = "rasterinfo";
    static constexpr Slot kWrites[] = {Slot::Raster};

    RasterInfoDialog(WindowHost& host, OptionTable& options, MessageBoxes& messages);

    void ApplyCmd_Click();
    void EndCmd_Click();
    /// Empties the fields and hides.
    void clearFromMainWindow() override;
    std::vector<TextField*> fieldsOf(Slot slot) override;

    Label Label1{*this, "Label1", "Upper Left-Hand X Coordinate"};
    Label Label2{*this, "Label2", "Upper Left-Hand Y coordinate"};
    Label Label3{*this, "Label3", "Pixel Size"};
    TextField UlhxTxt{*this, "UlhxTxt"};
    TextField UlhyTxt{*this, "UlhyTxt"};
    TextField PixszTxt{*this, "PixszTxt"};
    Button ApplyCmd{*this, "ApplyCmd", "Apply"};
    Button EndCmd{*this, "EndCmd", "Cancel"};

private:
    OptionTable& options_;
    MessageBoxes& messages_;
};

}  // namespace mapfeed

#pragma once

#include "job/OptionTable.h"
#include "ui/OptionDialog.h"

namespace mapfeed {

/// The twin dialogs "Point Symbology" and "Line Symbology": style, weight and color joined by
/// commas into one option.
class SymbologyDialog : public OptionDialog {
public:
    struct Kind {
        const char* name;
        const char* caption;
        Slot slot;
        const char* flag;
        int endCmdWidth;
        const char* textAfterClear;  // what the main window's "Clear" writes into the fields
    };

    SymbologyDialog(WindowHost& host, OptionTable& options, const Kind& kind);

    void ApplyCmd_Click();
    void EndCmd_Click();
    void clearFromMainWindow() override;
    std::vector<TextField*> fieldsOf(Slot slot) override;

    Label Label1{*this, "Label1", "element style"};
    Label Label2{*this, "Label2", "element weight"};
    Label Label3{*this, "Label3", "element color"};
    Button ApplyCmd{*this, "ApplyCmd", "Apply"};
    Button EndCmd{*this, "EndCmd", "Cancel"};
    TextField OutStyTxt{*this, "OutStyTxt"};
    TextField OutWtTxt{*this, "OutWtTxt"};
    TextField OutColorTxt{*this, "OutColorTxt"};

private:
    void setFields(const char* text);

    OptionTable& options_;
    const Kind& kind_;
};

/// "Point Symbology" (`pntsym`): slot 14, "-sp".
class PointSymbologyDialog : public SymbologyDialog {
public:
    static constexpr const char* kName = "pntsym";
    static constexpr Slot kWrites[] = {Slot::PointSymbology};
    PointSymbologyDialog(WindowHost& host, OptionTable& options);
};

/// "Line Symbology" (`linesym`): slot 10, "-sl".
class LineSymbologyDialog : public SymbologyDialog {
public:
    static constexpr const char* kName = "linesym";
    static constexpr Slot kWrites[] = {Slot::LineSymbology};
    LineSymbologyDialog(WindowHost& host, OptionTable& options);
};

}  // namespace mapfeed

#pragma once

#include "app/Window.h"
#include "job/OptionTable.h"

namespace mapfeed {

/// The twin dialogs "Point Symbology" (`pntsym`, slot 14, "-sp") and "Line Symbology"
/// (`linesym`, slot 10, "-sl"): style, weight and color joined by commas into one option.
class SymbologyDialog : public Window {
public:
    struct Kind {
        const char* name;
        const char* caption;
        Slot slot;
        const char* flag;
        int endCmdWidth;
        const char* textAfterClear;  // what the main window's "Clear" writes into the fields
    };
    static const Kind kPoint;
    static const Kind kLine;

    SymbologyDialog(WindowHost& host, OptionTable& options, const Kind& kind);

    const Kind& kind() const { return kind_; }

    void ApplyCmd_Click();
    void EndCmd_Click();
    /// Step of the main window's "Clear": reset the fields and hide.
    void clearFromMainWindow();

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

}  // namespace mapfeed

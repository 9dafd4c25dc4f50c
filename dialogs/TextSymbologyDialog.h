#pragma once

#include "job/OptionTable.h"
#include "ui/OptionDialog.h"

namespace mapfeed {

/// "Text Symbology" (`textsym`): font, size and justification, one option slot each
/// (15 "-f", 16 "-txsz", 17 "-J").
class TextSymbologyDialog : public OptionDialog {
public:
    static constexpr const char* kName = "textsym";
    static constexpr Slot kWrites[] = {Slot::Font, Slot::TextSize, Slot::Justification};

    TextSymbologyDialog(WindowHost& host, OptionTable& options);

    void ApplyCmd_Click();
    void EndCmd_Click();
    /// Restores the initial texts and hides.
    void clearFromMainWindow() override;
    std::vector<TextField*> fieldsOf(Slot slot) override;

    Label Label1{*this, "Label1", "text font"};
    Label Label2{*this, "Label2", "text size"};
    Label Label3{*this, "Label3", "text justification"};
    Button ApplyCmd{*this, "ApplyCmd", "Apply"};
    Button EndCmd{*this, "EndCmd", "Cancel"};
    TextField FontTxt{*this, "FontTxt"};
    TextField SizeTxt{*this, "SizeTxt"};
    TextField JustTxt{*this, "JustTxt"};

private:
    void restoreInitialTexts();
    void applyField(const TextField& field, Slot slot, const char* flag);

    OptionTable& options_;
};

}  // namespace mapfeed

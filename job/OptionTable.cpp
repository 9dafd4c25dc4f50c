#include "job/OptionTable.h"

namespace mapfeed {

void OptionTable::SetOption(Slot slot, std::string flag, std::string value) {
    OptFlag.at(static_cast<int>(slot)) = std::move(flag);
    OptVal.at(static_cast<int>(slot)) = std::move(value);
    changed();
}

void OptionTable::SetOptionFlag(Slot slot, std::string flag) {
    OptFlag.at(static_cast<int>(slot)) = std::move(flag);
    changed();
}

void OptionTable::SetOptionValue(Slot slot, std::string value) {
    OptVal.at(static_cast<int>(slot)) = std::move(value);
    changed();
}

void OptionTable::ClearOption(Slot slot) { SetOption(slot, "", ""); }

void OptionTable::BlankOption(Slot slot) { SetOption(slot, " ", " "); }

void OptionTable::ClearAllOptions() {
    OptFlag.fill("");
    OptVal.fill("");
    changed();
}

std::string OptionTable::JoinOptions(std::string text) const {
    std::size_t length = text.size() + 2 * kSlots;
    for (int slot = 0; slot < kSlots; ++slot) length += OptFlag[slot].size() + OptVal[slot].size();
    text.reserve(length);
    for (int slot = 0; slot < kSlots; ++slot) {
        text += ' ';
        text += OptFlag[slot];
        text += ' ';
        text += OptVal[slot];
    }
    return text;
}

}  // namespace mapfeed

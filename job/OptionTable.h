#pragma once

#include <array>
#include <functional>
#include <string>

namespace mapfeed {

/// The slots that the windows write, by name; the others (0 to 2, 18 to 25) are spare and only
/// ever put out their blanks.
enum class Slot : int {
    Source = 3,
    Theme = 4,
    LineworkLevel = 5,
    PointLevel = 6,
    Table = 7,
    Mslink = 8,
    PointType = 9,
    LineSymbology = 10,
    Curves = 11,
    CellLibrary = 12,
    CellName = 13,
    PointSymbology = 14,
    Font = 15,
    TextSize = 16,
    Justification = 17,
    Raster = 26,
};

/// The converter options of the job being described: 27 fixed slots, each a flag and a value.
/// Every window writes into fixed slots; "Apply" joins all of them, in slot order, onto the
/// command line. The empty string and a single blank are both "nothing", but they put out a
/// different number of blanks, so neither is ever skipped or trimmed.
class OptionTable {
public:
    static constexpr int kSlots = 27;

    void SetOption(Slot slot, std::string flag, std::string value);
    void SetOptionFlag(Slot slot, std::string flag);
    void SetOptionValue(Slot slot, std::string value);
    void ClearOption(Slot slot);
    void BlankOption(Slot slot);
    void ClearAllOptions();

    /// `text`, then for each slot one blank, the flag, one blank and the value.
    std::string JoinOptions(std::string text) const;

    const std::string& flag(int slot) const { return OptFlag.at(slot); }
    const std::string& value(int slot) const { return OptVal.at(slot); }
    const std::string& flag(Slot slot) const { return flag(static_cast<int>(slot)); }
    const std::string& value(Slot slot) const { return value(static_cast<int>(slot)); }

    bool operator==(const OptionTable& other) const { return OptFlag == other.OptFlag && OptVal == other.OptVal; }

    /// Told after every write. A copy of the table starts without one, so that work done on
    /// a copy (the command preview) tells nobody.
    struct ChangeHook {
        std::function<void()> call;
        ChangeHook() = default;
        ChangeHook(const ChangeHook&) {}
        ChangeHook& operator=(const ChangeHook&) { return *this; }
    } onChanged;

private:
    void changed() const {
        if (onChanged.call) onChanged.call();
    }

    std::array<std::string, kSlots> OptFlag;
    std::array<std::string, kSlots> OptVal;
};

}  // namespace mapfeed

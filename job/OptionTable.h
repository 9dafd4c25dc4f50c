#pragma once

#include <array>
#include <functional>
#include <string>

#include "job/Observers.h"

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
///
/// A plain value: copies tell nobody of their writes. The job's own table is the
/// ObservedOptionTable below, and a copy of it is a plain OptionTable again.
class OptionTable {
public:
    static constexpr int kSlots = 27;

    OptionTable() = default;
    OptionTable(const OptionTable&) = default;
    OptionTable& operator=(const OptionTable&) = default;
    virtual ~OptionTable() = default;

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

protected:
    /// Called after every write.
    virtual void changed() {}

private:
    std::array<std::string, kSlots> OptFlag;
    std::array<std::string, kSlots> OptVal;
};

/// The one table of the running job: tells its subscribers (the command preview) after every
/// write. It is not copied; `OptionTable copy = table;` takes its slots alone.
class ObservedOptionTable : public OptionTable {
public:
    ObservedOptionTable() = default;
    ObservedOptionTable(const ObservedOptionTable&) = delete;
    ObservedOptionTable& operator=(const ObservedOptionTable&) = delete;

    Observers changes;

protected:
    void changed() override { changes.notify(); }
};

}  // namespace mapfeed

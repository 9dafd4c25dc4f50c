#pragma once

#include <array>
#include <functional>
#include <string>

namespace mapfeed {

/// The converter options of the job being described: 27 fixed slots, each a flag and a value.
/// Every window writes into fixed slots; "Apply" joins all of them, in slot order, onto the
/// command line. The empty string and a single blank are both "nothing", but they put out a
/// different number of blanks, so neither is ever skipped or trimmed.
class OptionTable {
public:
    static constexpr int kSlots = 27;

    void SetOption(int slot, std::string flag, std::string value);
    void SetOptionFlag(int slot, std::string flag);
    void SetOptionValue(int slot, std::string value);
    void ClearOption(int slot);
    void BlankOption(int slot);
    void ClearAllOptions();

    /// `text`, then for each slot one blank, the flag, one blank and the value.
    std::string JoinOptions(std::string text) const;

    const std::string& flag(int slot) const { return OptFlag.at(slot); }
    const std::string& value(int slot) const { return OptVal.at(slot); }

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

#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "job/OptionTable.h"

namespace mapfeed {

/// What "Apply" reads from the main window, taken at the moment of the press.
struct JobFields {
    std::string infile;          // InfileTxt
    std::string dgnfile;         // DgnFileTxt
    bool centrCmbEnabled = true; // CentrCmb
    std::string centrCmbText;
    bool curvesSelected = false; // CrvOpt
    bool outlevEnabled = true;   // Outlevtxt
    std::string outlev;
    bool centrTxtEnabled = true; // CentrTxt
    std::string centrLevel;
    std::string mslink;          // Mslinktxt (its enabled state is not consulted)
    std::string tableName;       // TblnmTxt
    std::string source;          // SrcCmb
};

/// A file field with the trailing " -+" marker taken off; the marker is carried to the end of
/// the command line instead.
struct MarkedPath {
    std::string path;
    bool marked = false;

    bool operator==(const MarkedPath&) const = default;
};

inline constexpr const char* kCommandHead = "perl -S mapfeed.pl -I ";
inline constexpr const char* kSuffixMarker = " -+";

MarkedPath splitSuffixMarker(const std::string& fieldText);

/// Writes the slots that "Apply" derives from the main window's own fields (3, 5, 6, 8, 9, 11).
void deriveOptions(OptionTable& options, const JobFields& fields);

/// The table as "Apply" would leave it, without writing the one given.
OptionTable derivedOptions(OptionTable options, const JobFields& fields);

/// The head with both field texts as typed, every slot, and the marker when either field had one.
std::string composeCommandLine(const OptionTable& options, const JobFields& fields);

/// The first character of a UTF-8 text that the command line cannot carry, if any: a control
/// character but tab (C0, DEL, C1) or a Unicode line or paragraph separator. A line break
/// would split the run log's record and an argument (tools that read the log split lines at
/// NEL, U+2028 and U+2029 too), a NUL would cut an argument short, and the others would reach
/// the converter and the log unseen.
std::optional<char32_t> firstUncarriedCharacter(std::string_view text);

/// Whether a character ends a line for the readers of the run log: CR, LF, NEL, U+2028, U+2029.
bool breaksLine(char32_t code);

}  // namespace mapfeed

#pragma once
// The command line as the Mapfeed program sends it, checked into one job description.
//
// The program starts "perl -S mapfeed.pl -I <input> -D <design> <27 option slots>"; the input
// and design paths arrive as one argument each, the option part split at blanks, so empty slots
// leave nothing, slot 6's "-C " arrives as "-C", and a flag whose text was blank arrives with
// no value at all. A lone "-+" (the program's file-name suffix marker) may stand anywhere.
#include <optional>
#include <string>
#include <vector>

namespace convert {

struct SymbologyOption {
    int style = 0, weight = 0, color = 0;
};

struct RasterGrid {
    double ulhx = 0, ulhy = 0, pixel = 1;
};

struct Job {
    std::string input, design;
    std::optional<char> source;  ///< 'A', 'X', 'M' (E is refused)
    std::optional<char> theme;   ///< 'P', 'L', 'A'
    std::optional<int> lineLevel, pointLevel;
    std::optional<std::string> table;
    bool mslinkFromIds = false;
    std::optional<long> firstMslink;
    char pointType = 'P';  ///< 'P', 'A', 'T', 'C'
    bool curves = false;
    std::optional<SymbologyOption> lineSymbology, pointSymbology;
    std::optional<std::string> cellFile, cellName;
    std::optional<int> font;
    std::optional<double> textSize;
    std::string textSizeText;  ///< -txsz as given, for messages
    std::optional<int> justification;
    std::optional<RasterGrid> raster;
    std::vector<std::string> substitutions;  ///< made while reading the options
    bool hasMslinks() const { return mslinkFromIds || firstMslink.has_value(); }
};

/// The job of the words after the script's name. Throws Failure (exit 2, or 4 for sources
/// this converter does not read).
Job parseArguments(const std::vector<std::string>& words);

}  // namespace convert

#include "job/CommandComposition.h"

#include <string_view>

namespace mapfeed {

namespace {

bool endsWith(const std::string& text, std::string_view tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The point type letters, tried in this order.
struct PointType {
    const char* text;
    const char* letter;
};
constexpr PointType kPointTypes[] = {{"Point", "P"}, {"Annotation", "A"}, {"Textnode", "T"}, {"Cells", "C"}};

}  // namespace

MarkedPath splitSuffixMarker(const std::string& fieldText) {
    const std::string_view marker = kSuffixMarker;
    if (endsWith(fieldText, marker)) return {fieldText.substr(0, fieldText.size() - marker.size()), true};
    return {fieldText, false};
}

void deriveOptions(OptionTable& options, const JobFields& f) {
    if (f.centrCmbEnabled) {
        options.SetOptionFlag(Slot::PointType, "-O");
        for (const auto& type : kPointTypes) {
            if (f.centrCmbText == type.text) {
                options.SetOptionValue(Slot::PointType, type.letter);
                break;
            }
        }
    }

    options.SetOptionFlag(Slot::Curves, f.curvesSelected ? "-c" : " ");

    if (f.outlevEnabled && !f.outlev.empty())
        options.SetOption(Slot::LineworkLevel, "-L", f.outlev);
    else
        options.BlankOption(Slot::LineworkLevel);

    if (f.centrTxtEnabled && !f.centrLevel.empty())
        options.SetOption(Slot::PointLevel, "-C ", f.centrLevel);
    else
        options.ClearOption(Slot::PointLevel);

    if (!f.mslink.empty() && !f.tableName.empty())
        options.SetOption(Slot::Mslink, "-M", f.mslink);
    else
        options.ClearOption(Slot::Mslink);

    if (f.source == "Arc/Info") options.SetOption(Slot::Source, "-S", "A");
}

OptionTable derivedOptions(OptionTable options, const JobFields& fields) {
    deriveOptions(options, fields);
    return options;
}

std::string composeCommandLine(const OptionTable& options, const JobFields& f) {
    std::string head = kCommandHead;
    head += f.infile;
    head += " -D ";
    head += f.dgnfile;
    std::string command = options.JoinOptions(std::move(head));
    if (splitSuffixMarker(f.infile).marked || splitSuffixMarker(f.dgnfile).marked) command += kSuffixMarker;
    return command;
}

bool isRefusedCharacter(char c) {
    const auto code = static_cast<unsigned char>(c);
    return (code < 0x20 && c != '\t') || code == 0x7F;
}

}  // namespace mapfeed

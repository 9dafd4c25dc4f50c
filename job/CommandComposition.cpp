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

std::optional<char32_t> firstUncarriedCharacter(std::string_view text) {
    // In UTF-8 a C1 control is 0xC2 followed by 0x80..0x9F, and the two separators are
    // 0xE2 0x80 0xA8 and 0xE2 0x80 0xA9; no other character's bytes can hold these sequences.
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte < 0x20 && byte != '\t') || byte == 0x7F) return byte;
        if (byte == 0xC2 && i + 1 < text.size()) {
            const auto next = static_cast<unsigned char>(text[i + 1]);
            if (next >= 0x80 && next <= 0x9F) return next;
        }
        if (text.substr(i, 3) == "\xE2\x80\xA8") return 0x2028;
        if (text.substr(i, 3) == "\xE2\x80\xA9") return 0x2029;
    }
    return std::nullopt;
}

bool breaksLine(char32_t code) { return code == '\r' || code == '\n' || code == 0x85 || code == 0x2028 || code == 0x2029; }

}  // namespace mapfeed

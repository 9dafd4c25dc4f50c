#include "convert/Job.h"

#include <cmath>
#include <map>

#include "convert/Failure.h"
#include "sources/Tokens.h"

namespace convert {
namespace {

// Every flag that takes a value, with what its value must be (for the messages).
const std::map<std::string, std::string> kValueFlags = {
    {"-I", "an input file"},
    {"-D", "a design file"},
    {"-S", "a source: A (Arc/Info), X (X,Y) or M (MOSS)"},
    {"-P", "a theme: P (points), L (lines) or A (polygons)"},
    {"-L", "a level from 1 to 63"},
    {"-C", "a level from 1 to 63"},
    {"-T", "a table name"},
    {"-M", "a first mslink number, or -i for the cover ids"},
    {"-O", "a point type: P (point), A (annotation), T (text node) or C (cell)"},
    {"-sl", "style,weight,color"},
    {"-sp", "style,weight,color"},
    {"-ce", "a cell library file"},
    {"-cn", "a cell name"},
    {"-f", "a font number from 0 to 255"},
    {"-txsz", "a text size greater than 0"},
    {"-J", "a justification from 0 to 14"},
    {"-R", "ulhx,ulhy,pixel"},
};
const std::string kMarker = "-+";

bool isSwitch(const std::string& w) { return w == "-c"; }
bool isFlag(const std::string& w) { return kValueFlags.count(w) || isSwitch(w) || w == kMarker || w == "-C "; }

[[noreturn]] void usage(const std::string& message) { throw Failure(kUsage, message); }

std::string needs(const std::string& flag) { return kValueFlags.at(flag); }

// A whole number written as digits (an optional plus before them) within [low, high].
std::optional<long> wholeNumber(const std::string& text, long low, long high) {
    std::size_t at = !text.empty() && text[0] == '+' ? 1 : 0;
    if (at == text.size()) return std::nullopt;
    long value = 0;
    for (; at < text.size(); ++at) {
        if (text[at] < '0' || text[at] > '9') return std::nullopt;
        value = value * 10 + (text[at] - '0');
        if (value > high) return std::nullopt;
    }
    if (value < low) return std::nullopt;
    return value;
}

int integerIn(const std::string& flag, const std::string& text, long low, long high) {
    const auto v = wholeNumber(text, low, high);
    if (!v) usage(flag + " needs " + needs(flag) + ", not '" + text + "'");
    return static_cast<int>(*v);
}

std::vector<std::string> splitCommas(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return parts;
}

// "style,weight,color": an empty part (a field left empty in the dialog) means 0, reported.
SymbologyOption symbology(const std::string& flag, const std::string& text, std::vector<std::string>& substitutions) {
    const auto parts = splitCommas(text);
    if (parts.size() != 3) usage(flag + " needs style,weight,color (three parts), not '" + text + "'");
    const char* names[] = {"style", "weight", "color"};
    const long limits[] = {7, 31, 255};
    int values[3];
    for (int i = 0; i < 3; ++i) {
        if (parts[i].empty()) {
            substitutions.push_back(flag + ": no " + names[i] + " given, 0 used");
            values[i] = 0;
            continue;
        }
        const auto v = wholeNumber(parts[i], 0, limits[i]);
        if (!v)
            usage(flag + ": the " + names[i] + " must be a whole number from 0 to " + std::to_string(limits[i]) +
                  ", not '" + parts[i] + "'");
        values[i] = static_cast<int>(*v);
    }
    return {values[0], values[1], values[2]};
}

RasterGrid raster(const std::string& text) {
    const auto parts = splitCommas(text);
    double v[3];
    bool ok = parts.size() == 3;
    for (std::size_t i = 0; ok && i < 3; ++i) {
        const auto n = sources::parseNumber(parts[i]);
        ok = n && std::isfinite(*n);
        if (ok) v[i] = *n;
    }
    if (!ok) usage("-R needs ulhx,ulhy,pixel (three numbers a double holds), not '" + text + "'");
    if (!(v[2] > 0)) usage("-R: the pixel size must be greater than 0, not '" + parts[2] + "'");
    return {v[0], v[1], v[2]};
}

}  // namespace

Job parseArguments(const std::vector<std::string>& words) {
    std::map<std::string, std::optional<std::string>> given;
    for (std::size_t i = 0; i < words.size(); ++i) {
        std::string word = words[i];
        if (word == kMarker) continue;  // documented as having no effect
        if (word == "-C ") word = "-C";
        if (word.size() >= 2 && word[0] == '-' && !isFlag(word)) usage("unknown flag '" + word + "'");
        if (!isFlag(word)) usage("unexpected word '" + word + "' (no flag before it)");
        if (given.count(word)) usage(word + " is given twice");
        if (isSwitch(word)) {
            given[word] = "1";
        } else if (word == "-I" || word == "-D") {
            // A path is taken whole, whatever it holds, even a leading minus.
            if (i + 1 == words.size()) usage(word + " needs " + needs(word));
            given[word] = words[++i];
        } else if (i + 1 < words.size() && !isFlag(words[i + 1])) {
            given[word] = words[++i];
        } else {
            given[word] = std::nullopt;
        }
    }
    for (const auto& [flag, value] : given)
        if (!isSwitch(flag) && !value) usage(flag + " needs " + needs(flag) + ", and nothing followed it");
    if (!given.count("-I")) usage("-I (the input file) is missing");
    if (!given.count("-D")) usage("-D (the design file) is missing");

    const auto value = [&](const char* flag) -> std::optional<std::string> {
        const auto it = given.find(flag);
        return it == given.end() ? std::nullopt : it->second;
    };
    Job job;
    job.input = *value("-I");
    job.design = *value("-D");
    if (const auto s = value("-S")) {
        if (s->size() != 1 || std::string("AXEM").find((*s)[0]) == std::string::npos)
            usage("-S needs " + needs("-S") + ", not '" + *s + "'");
        job.source = (*s)[0];
    }
    if (const auto p = value("-P")) {
        if (p->size() != 1 || std::string("PLA").find((*p)[0]) == std::string::npos)
            usage("-P needs " + needs("-P") + ", not '" + *p + "'");
        job.theme = (*p)[0];
    }
    if (const auto l = value("-L")) job.lineLevel = integerIn("-L", *l, 1, 63);
    if (const auto c = value("-C")) job.pointLevel = integerIn("-C", *c, 1, 63);
    job.table = value("-T");
    if (const auto m = value("-M")) {
        if (*m == "-i") job.mslinkFromIds = true;
        else job.firstMslink = integerIn("-M", *m, 1, 16777215);
    }
    if (const auto o = value("-O")) {
        if (o->size() != 1 || std::string("PATC").find((*o)[0]) == std::string::npos)
            usage("-O needs " + needs("-O") + ", not '" + *o + "'");
        job.pointType = (*o)[0];
    }
    job.curves = given.count("-c") > 0;
    if (const auto s = value("-sl")) job.lineSymbology = symbology("-sl", *s, job.substitutions);
    if (const auto s = value("-sp")) job.pointSymbology = symbology("-sp", *s, job.substitutions);
    job.cellFile = value("-ce");
    job.cellName = value("-cn");
    if (const auto f = value("-f")) job.font = integerIn("-f", *f, 0, 255);
    if (const auto t = value("-txsz")) {
        const auto size = sources::parseNumber(*t);
        if (!size || !(*size > 0) || !std::isfinite(*size)) usage("-txsz needs " + needs("-txsz") + ", not '" + *t + "'");
        job.textSize = *size;
        job.textSizeText = *t;
    }
    if (const auto j = value("-J")) job.justification = integerIn("-J", *j, 0, 14);
    if (const auto r = value("-R")) job.raster = raster(*r);

    // Refused only once the whole command line is known to be right.
    if (job.source == 'E') throw Failure(kInput, "Etak Map Base input (-S E) is not supported by this converter (no public description of its layout)");
    return job;
}

}  // namespace convert

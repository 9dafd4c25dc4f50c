#include "convert/Run.h"

#include <sys/stat.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>

#include "convert/Converter.h"
#include "convert/DesignFile.h"
#include "convert/Failure.h"
#include "convert/InputScan.h"
#include "convert/Job.h"
#include "convert/Signals.h"
#include "dgn/CellLibrary.h"
#include "dgn/CellPlacement.h"
#include "dgn/HeaderBlock.h"
#include "dgn/Radix50.h"
#include "sources/GenerateReader.h"
#include "sources/MossReader.h"
#include "sources/XyReader.h"

namespace convert {
namespace {

constexpr double kDefaultLockWait = 60;

void say(const std::string& text) { std::fprintf(stderr, "%s: %s\n", kName, text.c_str()); }

std::string number(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", v == 0 ? 0.0 : v);
    return text;
}

std::string plural(long n, const std::string& what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : what.back() == 'x' ? "es" : "s");
}

bool endsWithUlf(const std::string& path) {
    if (path.size() < 4) return false;
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".ulf";
}

std::unique_ptr<sources::FeatureSource> openSource(const Job& job, char source, char theme) {
    std::unique_ptr<sources::FeatureSource> reader;
    if (source == 'A') {
        auto r = std::make_unique<sources::GenerateReader>(job.input);
        r->lines().beforeRead = checkSignals;
        reader = std::move(r);
    } else if (source == 'M') {
        auto r = std::make_unique<sources::MossReader>(job.input, theme == 'A');
        r->lines().beforeRead = checkSignals;
        reader = std::move(r);
    } else {
        auto r = std::make_unique<sources::XyReader>(job.input, theme == 'L' || theme == 'A');
        r->lines().beforeRead = checkSignals;
        reader = std::move(r);
    }
    return reader;
}

double lockWait() {
    const char* text = std::getenv("MAPFEED_LOCK_WAIT");
    if (!text || !*text) return kDefaultLockWait;
    char* end = nullptr;
    const double seconds = std::strtod(text, &end);
    return (*end == '\0' && seconds >= 0 && std::isfinite(seconds)) ? seconds : kDefaultLockWait;
}

// What the job asked for that this input and theme leave without effect.
void unusedOptions(const Job& job, char theme, std::vector<std::string>& notes, std::vector<std::string>& substitutions) {
    const bool textType = job.pointType == 'A' || job.pointType == 'T';
    const std::string type(1, job.pointType);
    const std::pair<const char*, bool> textFlags[] = {
        {"-f", job.font.has_value()}, {"-txsz", job.textSize.has_value()}, {"-J", job.justification.has_value()}};
    for (const auto& [flag, given] : textFlags)
        if (given && !textType)
            notes.push_back(std::string(flag) + " has no effect with -O " + type + " (only annotation and text nodes carry text)");
    if ((job.cellFile || job.cellName) && job.pointType != 'C') notes.push_back("-ce and -cn have no effect without -O C");
    if (job.curves && theme == 'P') notes.push_back("-c has no effect on points");
    if (theme == 'P' && (job.lineLevel || job.lineSymbology)) notes.push_back("-L and -sl have no effect on points");
    if (job.curves && theme == 'A') substitutions.push_back("-c: polygons are written as shapes; curves are written for lines only");
    if (job.raster && theme != 'P' && !job.pointLevel)
        notes.push_back("-R has no effect: without -C no points or centroids are written");
    if (theme != 'P' && !job.lineLevel) notes.push_back("no -L given: linework goes to level 1");
    if (theme == 'P' && !job.pointLevel)
        notes.push_back(job.pointType == 'C' ? "no -C given: cells keep their levels from the library" : "no -C given: points go to level 1");
}

// A text's height must come out as at least one unit of resolution and fit the text's
// multiplier field (height * 1000 / 6 in a long).
void checkTextSize(const Job& job, double uorsPerMaster) {
    if (job.pointType != 'A' && job.pointType != 'T') return;
    const double height = job.textSize.value_or(1.0) * uorsPerMaster;
    const double highest = std::floor(2147483647.0 * 6 / 1000);
    if (height >= 1 && height <= highest) return;
    const std::string given = job.textSize ? "-txsz " + job.textSizeText : "the text size (1, no -txsz given)";
    throw Failure(kUsage, given + ": in " + job.design + " (" + number(uorsPerMaster) +
                              " UORs a master unit) a text must be from " + number(1 / uorsPerMaster) + " to " +
                              number(highest / uorsPerMaster) + " master units high");
}


struct Outcome {
    std::vector<std::string> notes;
    std::vector<std::string> substitutions;
    std::string summary;
};

// The run up to its commit point; what is left to say afterwards is returned.
Outcome convertJob(const std::vector<std::string>& words, std::optional<DesignFile>& design) {
    Outcome o;
    Job job = parseArguments(words);
    o.substitutions = job.substitutions;
    const std::string& file = job.input;
    if (endsWithUlf(file)) throw Failure(kInput, file + ": ULF input is not supported by this converter");
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) throw Failure(kInput, "the input file " + file + " does not exist");
    if (!S_ISREG(st.st_mode)) throw Failure(kInput, "the input file " + file + " is not a plain file");

    std::vector<std::string> headNotes, themeNotes;
    char source = job.source.value_or(0);
    const bool generate = (!source || source == 'A') && holdsEndLine(file, checkSignals);
    if (!source) {
        source = generate ? 'A' : 'X';
        headNotes.push_back(std::string("no -S given: the input reads as ") +
                            (source == 'A' ? "Arc/Info generate (-S A)" : "X,Y text (-S X)"));
    }
    if (source == 'A' && !generate)
        throw Failure(kInput, file + " has no END line, so it is no Arc/Info generate text (for an X,Y file the source is X,Y, -S X)");

    std::optional<InputScan> scan;
    const auto scanned = [&]() -> const InputScan& {
        if (!scan) {
            auto reader = openSource(job, source, 'P');
            scan = scanInput(*reader);
            if (!scan->anyFeature) throw Failure(kInput, file + " holds no records to convert");
        }
        return *scan;
    };
    char theme = job.theme.value_or(0);
    if (!theme) {
        theme = scanned().theme();
        const char* names[] = {"points", "lines", "polygons"};
        themeNotes.push_back(std::string("no -P given: the input reads as ") + names[theme == 'P' ? 0 : theme == 'L' ? 1 : 2] +
                             " (-P " + theme + ")");
    }
    std::vector<std::string> unused;
    unusedOptions(job, theme, unused, o.substitutions);
    const std::optional<dgn::LibraryCell> cell = job.pointType == 'C' ? std::optional(libraryCell(job)) : std::nullopt;

    design.emplace(job.design, lockWait());
    DesignPlane plane;
    std::optional<dgn::Bytes> header;
    std::string freshNote;
    if (design->fresh()) {
        // Millimetres of metres, the global origin at the whole kilometre nearest the middle of
        // the data, so that the data lies well inside the plane's +-2147 km.
        const InputScan& s = scanned();
        const auto kilometre = [](double v) { return 1000 * std::trunc(v / 1000 + (v < 0 ? -0.5 : 0.5)); };
        const double cx = kilometre((s.xLow + s.xHigh) / 2), cy = kilometre((s.yLow + s.yHigh) / 2);
        dgn::DesignUnits units;
        units.originX = -1000 * cx;
        units.originY = -1000 * cy;
        plane = {1000, units.originX, units.originY};
        const auto low = plane.toUor(s.xLow, s.yLow), high = plane.toUor(s.xHigh, s.yHigh);
        const dgn::Range viewed = low && high ? dgn::Range{low->x, low->y, high->x, high->y} : dgn::Range{};
        header = std::isfinite(cx) && std::isfinite(cy) ? dgn::encodeFixedHeader(units, viewed) : std::nullopt;
        if (!header)
            throw Failure(kDesign, "the data's middle (" + number((s.xLow + s.xHigh) / 2) + ", " + number((s.yLow + s.yHigh) / 2) +
                                       ") lies beyond any design plane's global origin");
        freshNote = job.design + " was empty: it got a new 2D header (master unit m, 1000 UORs a metre, global origin at (" +
                    number(cx) + ", " + number(cy) + "))";
    } else {
        plane = {design->units().uorsPerMaster(), design->units().originX, design->units().originY};
    }
    checkTextSize(job, plane.uorsPerMaster);
    if (header) design->append(*header);
    Converter converter(job, plane, theme, design->lastNodeNumber(), design->lastGraphicGroup(),
                        [&design](std::span<const std::uint8_t> bytes) { design->append(bytes); }, cell ? &*cell : nullptr);
    auto reader = openSource(job, source, theme);
    sources::Feature feature;
    bool any = false;
    while (reader->next(feature)) {
        any = true;
        converter.feature(feature);
    }
    converter.finish();
    if (!any) throw Failure(kInput, file + " holds no records to convert");
    if (converter.counts().empty())
        throw Failure(kInput, std::string("nothing to write: with -P ") + theme +
                                  " the input's points are written only on a -C level, and none was given");
    design->commit();
    design->remember(converter.lastNodeNumber(), converter.lastGraphicGroup());

    // Committed: from here on the run only reports.
    o.notes = headNotes;
    o.notes.insert(o.notes.end(), reader->notes().begin(), reader->notes().end());
    o.notes.insert(o.notes.end(), themeNotes.begin(), themeNotes.end());
    o.notes.insert(o.notes.end(), unused.begin(), unused.end());
    if (!freshNote.empty()) o.notes.push_back(freshNote);
    if (converter.leftOut()) o.notes.push_back(plural(converter.leftOut(), "label point") + " left out: no -C level given for them");
    if (job.hasMslinks() && job.table)
        o.notes.push_back("the table name '" + *job.table + "' is not stored in the design file: the mslinks carry entity number " +
                          std::to_string(kEntityNumber) + ", to be matched to '" + *job.table + "' in the database's catalogue");
    if (job.table && !job.hasMslinks()) o.notes.push_back("-T " + *job.table + ": no -M given, so no mslinks were written");
    o.substitutions.insert(o.substitutions.end(), converter.substitutions().begin(), converter.substitutions().end());
    if (converter.unlistedSubstitutions())
        o.substitutions.push_back(plural(converter.unlistedSubstitutions(), "more substitution") + " of the kinds above, not listed");
    std::string written;
    for (const auto& [what, n] : converter.counts()) written += (written.empty() ? "" : ", ") + plural(n, what);
    o.summary = std::string(kName) + ": " + job.input + " -> " + job.design + ": " + written;
    return o;
}

}  // namespace

dgn::LibraryCell libraryCell(const Job& job) {
    if (!job.cellFile) throw Failure(kUsage, "-O C needs a cell library (-ce) and a cell name (-cn)");
    const std::string& library = *job.cellFile;
    if (!job.cellName) {
        const dgn::CellLibraryRead read = dgn::readCellLibrary(library);
        std::string names;
        for (const auto& n : read.names) names += (names.empty() ? "" : ", ") + n;
        throw Failure(kUsage, "-O C needs a cell name (-cn) from the library " + library +
                                  (names.empty() ? "" : " (it holds " + names + ")"));
    }
    if (job.cellName->empty() || job.cellName->size() > 6 || !dgn::toRadix50(*job.cellName, 2))
        throw Failure(kUsage, "-cn " + *job.cellName + ": a cell name is one to six letters, digits, '$' or '.'");
    dgn::CellLibraryRead read = dgn::readCellLibrary(library, *job.cellName);
    if (!read.problem.empty()) throw Failure(kInput, "the cell library " + library + " " + read.problem);
    if (!read.cell) {
        std::string names;
        for (const auto& n : read.names) names += (names.empty() ? "" : ", ") + n;
        throw Failure(kInput, "the cell library " + library + " holds no cell " + *job.cellName +
                                  (names.empty() ? " (it holds no cells)" : " (it holds " + names + ")"));
    }
    if (const auto why = dgn::unplaceable(*read.cell))
        throw Failure(kInput, "the cell " + read.cell->header.name + " of " + library + " " + *why);
    return std::move(*read.cell);
}

int run(const std::vector<std::string>& words) {
    holdSignals();
    std::optional<DesignFile> design;
    try {
        const Outcome o = convertJob(words, design);
        for (const auto& note : o.notes) say(note);
        for (const auto& s : o.substitutions) say("substituted: " + s);
        std::fflush(stderr);
        std::printf("%s\n", o.summary.c_str());
        std::fflush(stdout);
        return o.substitutions.empty() ? kDone : kSubstituted;
    } catch (const Failure& failure) {
        if (design) design->rollback();
        say(failure.what());
        say("nothing was written to the design file");
        return failure.status;
    } catch (const sources::InputError& error) {
        if (design) design->rollback();
        say(error.what());
        say("nothing was written to the design file");
        return kInput;
    } catch (const std::exception& error) {
        if (design) design->rollback();
        say(std::string("internal error: ") + error.what());
        say("nothing was written to the design file");
        return kInternal;
    }
}

}  // namespace convert

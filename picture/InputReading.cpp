#include "picture/InputReading.h"

#include <cmath>
#include <optional>

#include "convert/Converter.h"
#include "convert/Failure.h"
#include "convert/InputScan.h"
#include "convert/Job.h"
#include "convert/Plane.h"
#include "convert/Run.h"
#include "sources/GenerateReader.h"
#include "sources/MossReader.h"
#include "sources/XyReader.h"

namespace mapfeed::picture {

namespace {

struct Stopped {};

std::unique_ptr<sources::FeatureSource> openSource(const convert::Job& job, char source, char theme,
                                                   const std::atomic<bool>* stop) {
    const bool joined = theme == 'L' || theme == 'A', polygons = theme == 'A';
    const auto check = [stop] {
        if (stop && stop->load()) throw Stopped{};
    };
    if (source == 'A') {
        auto reader = std::make_unique<sources::GenerateReader>(job.input);
        reader->lines().beforeRead = check;
        return reader;
    }
    if (source == 'M') {
        auto reader = std::make_unique<sources::MossReader>(job.input, polygons);
        reader->lines().beforeRead = check;
        return reader;
    }
    auto reader = std::make_unique<sources::XyReader>(job.input, joined);
    reader->lines().beforeRead = check;
    return reader;
}

/// The converter's message, with what most likely went wrong where it is a common mistake.
std::string withHint(std::string message) {
    if (message.find("is a line, but -P P") != std::string::npos)
        message += " (lines read as points? The data theme \"Point\" takes points only.)";
    else if (message.find("has no END line") != std::string::npos)
        message += " (is the data source right?)";
    return message;
}

}  // namespace

InputReading readInput(const std::vector<std::string>& arguments, const DesignReading& design,
                       const std::atomic<bool>* stop) {
    InputReading reading;
    reading.picture->unitName = design.units.masterName;
    try {
        const convert::Job job = convert::parseArguments(arguments);
        char source = job.source.value_or(0);
        if (!source || source == 'A') {
            const bool generate = convert::holdsEndLine(job.input, {});
            if (!source) source = generate ? 'A' : 'X';
            else if (!generate)
                throw convert::Failure(4, job.input + " has no END line, so it is no Arc/Info generate text");
        }
        std::optional<convert::InputScan> scan;
        const auto scanned = [&]() -> const convert::InputScan& {
            if (!scan) {
                auto reader = openSource(job, source, 'P', stop);
                scan = convert::scanInput(*reader);
            }
            return *scan;
        };
        const char theme = job.theme ? *job.theme : scanned().theme();

        // An empty design file gets its origin from the data, as the converter places it.
        Units units = design.units;
        if (design.empty) {
            const convert::InputScan& s = scanned();
            const auto kilometre = [](double v) { return 1000 * std::trunc(v / 1000 + (v < 0 ? -0.5 : 0.5)); };
            units = {1000, -1000 * kilometre((s.xLow + s.xHigh) / 2), -1000 * kilometre((s.yLow + s.yHigh) / 2), "m"};
        }
        const convert::DesignPlane plane{units.uorsPerMaster, units.originX, units.originY};
        Picture& picture = *reading.picture;
        // Cells are drawn as the components the converter places.
        const std::optional<dgn::LibraryCell> cell =
            job.pointType == 'C' ? std::optional(convert::libraryCell(job)) : std::nullopt;
        convert::Converter converter(
            job, plane, theme, 0, 0,
            [&](std::span<const std::uint8_t> elements) { addElements(picture, elements, units, Layer::Input); },
            cell ? &*cell : nullptr);
        auto reader = openSource(job, source, theme, stop);
        sources::Feature feature;
        while (reader->next(feature)) converter.feature(feature);
        converter.finish();
        if (converter.counts().empty() && picture.shapes.empty())
            reading.problem = std::string("Nothing would be written: with the data theme \"") +
                              (theme == 'P' ? "Point" : theme == 'L' ? "Linear" : "Area") +
                              "\" the input's points are written only on an output level for points.";
    } catch (const convert::Failure& failure) {
        reading.problem = withHint(failure.what());
    } catch (const sources::InputError& error) {
        reading.problem = withHint(error.what());
    } catch (const Stopped&) {
        reading.problem = "stopped";
    } catch (const std::exception& error) {
        reading.problem = error.what();
    }
    return reading;
}

}  // namespace mapfeed::picture

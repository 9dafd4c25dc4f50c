// The picture window's costs on a large design file: reading it into shapes, the first
// drawing, and a redraw while zooming and panning. Writes a design file of the asked number of
// vertices (line strings of 100 vertices in a band of 50 km) with the engine's encoders, then
// times each step a number of rounds and prints the medians and the process's peak memory.
//
//   picture_draw [VERTICES] [ROUNDS]

#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "dgn/Elements.h"
#include "dgn/HeaderBlock.h"
#include "picture/DesignReading.h"
#include "platform/PictureDrawing.h"

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const long vertices = argc > 1 ? std::atol(argv[1]) : 1000000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 7;
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "mapfeed-picture-bench.dgn";

    dgn::DesignUnits units;
    dgn::Bytes bytes = *dgn::encodeFixedHeader(units, {});
    std::vector<dgn::Point> line(100);
    for (long written = 0, n = 0; written < vertices; written += 100, ++n) {
        for (int i = 0; i < 100; ++i)
            line[i] = {static_cast<std::int32_t>((n % 500) * 100000 + i * 1000),
                       static_cast<std::int32_t>((n / 500) * 20000 + (i % 7) * 300)};
        dgn::ElementCore core;
        core.level = 1 + n % 10;
        dgn::encodeMultiPoint(bytes, dgn::ElementType::LineString, core, line);
    }
    bytes.push_back(0xFF);
    bytes.push_back(0xFF);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const double fileMb = bytes.size() / 1048576.0;
    // The file's bytes made here are no part of what the picture costs: let go of them, and
    // start the peak memory afresh (Linux: 5 into clear_refs resets the high-water mark).
    bytes = {};
    std::ofstream("/proc/self/clear_refs") << "5";

    double baseMb = 0;
    {
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("VmRSS:", 0) == 0) baseMb = std::atof(line.c_str() + 6) / 1024.0;
    }
    std::vector<double> reads, firsts, redraws;
    for (int round = 0; round < rounds; ++round) {
        const auto start = Clock::now();
        const mapfeed::picture::DesignReading reading = mapfeed::picture::readDesign(path.string());
        const auto read = Clock::now();
        mapfeed::picture::View view = mapfeed::picture::fitAll(reading.picture->extent, 1000, 700);
        const QImage first = mapfeed::drawPicture(*reading.picture, view, {});
        const auto drawn = Clock::now();
        reads.push_back(ms(read - start));
        firsts.push_back(ms(drawn - start));
        // Zoom in step by step about a point, then pan across: each one redraw.
        for (int step = 0; step < 10; ++step) {
            view = step < 5 ? mapfeed::picture::zoomedAt(view, 300, 200, 1.6) : mapfeed::picture::dragged(view, 120, 40);
            const auto before = Clock::now();
            const QImage again = mapfeed::drawPicture(*reading.picture, view, {});
            redraws.push_back(ms(Clock::now() - before));
        }
        // And the whole picture again, the costliest redraw.
        view = mapfeed::picture::fitAll(reading.picture->extent, 1000, 700);
        const auto before = Clock::now();
        const QImage whole = mapfeed::drawPicture(*reading.picture, view, {});
        redraws.push_back(ms(Clock::now() - before));
    }
    // VmHWM, which clear_refs reset, unlike getrusage's maximum.
    double peakMb = 0;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) peakMb = std::atof(line.c_str() + 6) / 1024.0;
    std::sort(redraws.begin(), redraws.end());
    std::printf("design file: %ld vertices, %.1f MB\n", vertices, fileMb);
    std::printf("read:                  median %.1f ms\n", median(reads));
    std::printf("read and first draw:   median %.1f ms (target 300)\n", median(firsts));
    std::printf("redraw (zoom, pan):    median %.1f ms, slowest %.1f ms (target 16)\n", median(redraws), redraws.back());
    std::printf("peak memory:           %.1f MB in all; %.1f MB over the program before the reading, %.2f times the "
                "file (target 4)\n",
                peakMb, peakMb - baseMb, (peakMb - baseMb) / fileMb);
    std::filesystem::remove(path);
    return 0;
}

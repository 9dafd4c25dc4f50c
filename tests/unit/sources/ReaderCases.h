#pragma once
// The readers' case tables: an input text, what it yields (one line of text a feature) or the
// start of the message it is refused with.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "sources/GenerateReader.h"
#include "sources/XyReader.h"

namespace sources_test {

using namespace sources;

struct Case {
    const char* name;
    char format;  // 'A' generate, 'X' X,Y points, 'J' X,Y joined into lines
    std::string input;
    std::string expected;  // features, or "!" and the message after the file's name
};

inline std::string describe(const Feature& f) {
    std::ostringstream out;
    out << (f.kind == Feature::Kind::Point ? "P " : "L ") << f.id << " @" << f.line;
    if (f.label) out << " label " << f.label->x << "," << f.label->y;
    if (f.continuation) out << " +";
    for (const Vertex& v : f.points) out << " " << v.x << "," << v.y;
    if (f.continues) out << " ...";
    return out.str() + "\n";
}

inline std::unique_ptr<FeatureSource> reader(char format, const std::string& path) {
    if (format == 'A') return std::make_unique<GenerateReader>(path);
    return std::make_unique<XyReader>(path, format == 'J');
}

inline std::string read(const Case& c) {
    const std::string path = testing::TempDir() + "reader-input.txt";
    std::ofstream(path, std::ios::binary) << c.input;
    auto source = reader(c.format, path);
    std::string out;
    try {
        Feature f;
        while (source->next(f)) out += describe(f);
    } catch (const InputError& e) {
        const std::string message = e.what();
        out += "!" + message.substr(message.find(path) == 0 ? path.size() : 0);
    }
    for (const auto& note : source->notes()) out += "note " + note.substr(note.find(" line ")) + "\n";
    return out;
}

// A line of count vertices in format, read back: its x values and each piece's two flags.
inline void readLongLine(char format, std::size_t count, std::vector<double>& xs, std::vector<bool>& flags) {
    std::string text = format == 'A' ? "1\n" : "";
    for (std::size_t i = 0; i < count; ++i) text += (format == 'A' ? "" : "4 ") + std::to_string(i) + " 0\n";
    if (format == 'A') text += "END\nEND\n";
    const std::string path = testing::TempDir() + "long-line.txt";
    std::ofstream(path) << text;
    auto source = reader(format, path);
    Feature f;
    while (source->next(f)) {
        for (const Vertex& v : f.points) xs.push_back(v.x);
        flags.push_back(f.continuation);
        flags.push_back(f.continues);
    }
}

}  // namespace sources_test

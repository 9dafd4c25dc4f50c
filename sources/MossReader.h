#pragma once
// MOSS export text. Each feature is a header line, then its coordinate lines:
//   header: columns 1-5 the feature id (negative: the coordinates are longitude/latitude),
//           16-45 the subject, 51-55 the number of coordinate pairs;
//   projected pair: x in columns 1-11, y in 12-22; a negative x on a ring's first pair makes
//           that ring an island of the feature's polygon;
//   longitude/latitude pair: 1-10 and 11-20, an island flag of 1 in 21-22 on an island's first
//           pair.
// Numbers separated by blanks are read as well. A feature of one pair is a point; any other is a
// line, or when the caller reads polygons the outer ring of a polygon, its islands following it
// as rings with the id -99999 (read as lines, a negative x is a coordinate like any other). The
// file says nothing of the type; the subject has no place in a design file and is counted in a
// note.
#include <string>

#include "sources/Feature.h"
#include "sources/LineReader.h"

namespace sources {

class MossReader : public FeatureSource {
public:
    MossReader(const std::string& path, bool polygons);
    bool next(Feature& feature) override;
    const std::vector<std::string>& notes() const override;
    LineReader& lines() { return lines_; }

    /// The id a ring gets that is an island of the polygon before it.
    static constexpr const char* kIslandId = "-99999";

private:
    struct Pair {
        Vertex at;
        bool islandStart = false;
    };
    bool readHeader();
    Pair readPair();
    [[noreturn]] void malformed(long number, const std::string& what) const;

    std::string path_;
    bool polygons_;
    LineReader lines_;
    mutable std::vector<std::string> notes_;
    std::vector<std::string_view> fields_;
    // The feature being read.
    std::string id_;
    long headerLine_ = 0;
    bool geographic_ = false;
    long remaining_ = 0;        ///< its pairs not yet read
    bool pending_ = false;      ///< a pair read ahead: the start of an island
    Pair pendingPair_;
    Feature ring_;              ///< the ring or line whose pairs are arriving
    bool inFeature_ = false;
    long subjects_ = 0;
    std::string firstSubject_;
};

}  // namespace sources

#pragma once
// What a first pass over the input tells before anything is written: the source when -S is
// not given, the theme when -P is not, and the extent that places a new header's origin.
#include <functional>
#include <optional>
#include <string>

namespace sources {
class FeatureSource;
}

namespace convert {

struct InputScan {
    bool anyFeature = false;
    bool anyLine = false;
    bool allLinesClosed = true;
    bool hasExtent = false;
    double xLow = 0, yLow = 0, xHigh = 0, yHigh = 0;
    /// The theme a file sent without -P reads as: points when it holds only points, polygons
    /// when every line is closed, lines otherwise.
    char theme() const { return !anyLine ? 'P' : allLinesClosed ? 'A' : 'L'; }
};

/// Reads every feature of source. Throws sources::InputError.
InputScan scanInput(sources::FeatureSource& source);

/// True when the file holds a line END (Arc/Info generate). Its last line is looked at first.
bool holdsEndLine(const std::string& path, const std::function<void()>& beforeRead);

}  // namespace convert

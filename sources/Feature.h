#pragma once
// What an input reader yields: one point, or one line or polygon ring. A line longer than
// kPieceVertices arrives in pieces, so that no reader or consumer holds a whole line.
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace sources {

/// A location in the input's own units.
struct Vertex {
    double x = 0, y = 0;
    bool operator==(const Vertex&) const = default;
};

/// The most vertices one Feature carries; a longer line continues in the next ones (each
/// piece holds the vertices after the piece before it).
inline constexpr std::size_t kPieceVertices = 8192;

struct Feature {
    enum class Kind { Point, Line };
    Kind kind = Kind::Point;
    std::string id;            ///< as written in the input (a sequence number when there is none)
    long line = 0;             ///< the input line the record starts on
    bool numbered = false;     ///< an X,Y point without an id of its own
    std::optional<Vertex> label;  ///< a polygon's label point
    std::vector<Vertex> points;   ///< a point's location, or this piece of a line's vertices
    bool continuation = false;    ///< this piece carries on the line of the feature before
    bool continues = false;       ///< the line carries on in the next feature
};

/// Input that is not what its format allows (the message names the file and line).
struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

/// A reader of one input format: features one at a time, in file order.
class FeatureSource {
public:
    virtual ~FeatureSource() = default;
    /// Fills feature with the next one; false at the end of the input. Throws InputError.
    virtual bool next(Feature& feature) = 0;
    /// Messages about the input that are no failures (a heading line skipped, ...).
    virtual const std::vector<std::string>& notes() const = 0;
};

}  // namespace sources

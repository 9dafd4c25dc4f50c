#pragma once

#include <atomic>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "picture/ElementShapes.h"
#include "picture/Picture.h"

namespace mapfeed::picture {

/// What a design file holds for the picture.
struct DesignReading {
    std::shared_ptr<Picture> picture = std::make_shared<Picture>();
    Units units;
    /// The file is empty: the converter gives it a new header, placed after the data.
    bool empty = false;
    /// Where its end marker stands, and the file's size and change time, so that a run that
    /// appends to it can be told apart.
    std::uint64_t endOffset = 0;
    std::uint64_t size = 0;
    std::int64_t changed = 0;
    /// Why there is no picture of it; empty when there is.
    std::string problem;
};

/// Reads a design file element by element, in pieces, without holding it whole; elements from
/// `appendedFrom` on are drawn as appended by a run. Stops early, with a problem, when `stop`
/// is set.
DesignReading readDesign(const std::string& path,
                         std::uint64_t appendedFrom = std::numeric_limits<std::uint64_t>::max(),
                         const std::atomic<bool>* stop = nullptr);

}  // namespace mapfeed::picture

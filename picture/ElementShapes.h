#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "dgn/Element.h"
#include "picture/Picture.h"

namespace mapfeed::picture {

/// A design file's plane: how many units of resolution make a master unit, where its global
/// origin lies (in UORs), and the master unit's name.
struct Units {
    double uorsPerMaster = 1000;
    double originX = 0;
    double originY = 0;
    std::string masterName = "m";
};

/// Adds what a design file element draws to a picture, in master units: lines, line strings,
/// curves and the components of complex elements, cells and text nodes as lines; shapes as
/// rings (holes marked); a line of no length as a point; texts as texts. Headers of complex
/// elements, cells and text nodes draw nothing themselves, nor do deleted elements.
void addElement(Picture& picture, const dgn::ElementView& element, const Units& units, Layer layer);

/// Adds every whole element of `bytes` (as the converter hands them out) to a picture.
void addElements(Picture& picture, std::span<const std::uint8_t> bytes, const Units& units, Layer layer);

}  // namespace mapfeed::picture

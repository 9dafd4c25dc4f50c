#pragma once
// A small 2D cell library of our own, for tests and trials: CIRCLE (a 24-sided shape of radius
// 500 UORs on level 3, color 2), CROSS (two lines 1000 UORs long crossing at the origin, level
// 4, weight 1, color 3) and LABEL (the text "X" 200 UORs high, level 5, color 4).
#include "dgn/Bytes.h"

namespace dgn {

/// The whole library's bytes, end marker included.
Bytes sampleCellLibrary();

}  // namespace dgn

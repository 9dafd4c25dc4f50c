#pragma once
// A structural check of a whole design file, for tests and for anyone who wants to know
// whether a file holds together: a 2D header block first, every element's length inside the
// file, attribute indexes inside their element, ranges enclosing the vertices and texts they
// stand for, complex elements whose counts and lengths match their components, and an end
// marker.
#include <string>
#include <vector>

namespace dgn {

/// The problems found in the file at path, one sentence each; empty when it holds together.
std::vector<std::string> checkStructure(const std::string& path);

}  // namespace dgn

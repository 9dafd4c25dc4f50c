#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "picture/DesignReading.h"
#include "picture/Picture.h"

namespace mapfeed::picture {

/// The input as the job would convert it: the converter's own rules run over the input with
/// the converter's arguments (source, theme, point type, levels, the grid), the elements they
/// make drawn where they would land in `design`, and nothing written anywhere.
struct InputReading {
    std::shared_ptr<Picture> picture = std::make_shared<Picture>();
    /// Why the job would not convert, in the converter's words, with a hint where one helps;
    /// empty when it would.
    std::string problem;
};

/// `arguments`: what the converter is given after its name ("-I", the input, "-D", ...).
InputReading readInput(const std::vector<std::string>& arguments, const DesignReading& design,
                       const std::atomic<bool>* stop = nullptr);

}  // namespace mapfeed::picture

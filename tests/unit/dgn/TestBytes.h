#pragma once
// Byte vectors written the way the format notes print them: hex pairs separated by blanks.
#include <sstream>
#include <string>

#include "dgn/Bytes.h"

inline dgn::Bytes hexBytes(const std::string& text) {
    dgn::Bytes out;
    std::istringstream in(text);
    std::string pair;
    while (in >> pair) out.push_back(static_cast<std::uint8_t>(std::stoul(pair, nullptr, 16)));
    return out;
}

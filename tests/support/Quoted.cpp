#include "tests/support/Quoted.h"

#include <cstdio>

namespace mapfeed::testing {

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            default:
                if (byte < 0x20) {
                    char hex[8];
                    std::snprintf(hex, sizeof hex, "\\x%02X", byte);
                    out += hex;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

}  // namespace mapfeed::testing

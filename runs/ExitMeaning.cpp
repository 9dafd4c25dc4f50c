#include "runs/ExitMeaning.h"

namespace mapfeed {

std::string_view converterExitMeaning(int status) {
    switch (status) {
        case 0: return "done";
        case 2: return "bad command line";
        case 3: return "done, with substitutions";
        case 4: return "input or cell library not supported or malformed";
        case 5: return "design file unusable, or a coordinate outside its plane";
        default: return {};
    }
}

}  // namespace mapfeed

// mapfeed-convert: the converter engine that converter/mapfeed.pl starts, with the command
// line the Mapfeed program composes.
#include "convert/Run.h"

int main(int argc, char** argv) {
    return convert::run(std::vector<std::string>(argv + 1, argv + argc));
}

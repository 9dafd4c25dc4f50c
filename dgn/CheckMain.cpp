// mapfeed-dgn-check FILE...: prints what does not hold together in each design file; exits 1
// when anything was found.
#include <cstdio>

#include "dgn/StructureCheck.h"

int main(int argc, char** argv) {
    int status = 0;
    for (int i = 1; i < argc; ++i)
        for (const auto& problem : dgn::checkStructure(argv[i])) {
            std::printf("%s: %s\n", argv[i], problem.c_str());
            status = 1;
        }
    return status;
}

// mapfeed-sample-library FILE: writes our small cell library (dgn/SampleLibrary.h) for tests
// and trials.
#include <cstdio>
#include <fstream>

#include "dgn/SampleLibrary.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mapfeed-sample-library FILE\n");
        return 2;
    }
    const dgn::Bytes library = dgn::sampleCellLibrary();
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(library.data()), static_cast<std::streamsize>(library.size()));
    return file.good() ? 0 : 1;
}

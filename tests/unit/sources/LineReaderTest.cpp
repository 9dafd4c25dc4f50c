// The line reader gathers no line past its limit.
#include <gtest/gtest.h>

#include <fstream>

#include "sources/Feature.h"
#include "sources/GenerateReader.h"

using namespace sources;

TEST(LineReader, ALineWithoutEndIsNotGathered) {
    const std::string path = testing::TempDir() + "no-line-end.bin";
    std::ofstream(path, std::ios::binary) << std::string(5 << 20, 'x');
    GenerateReader reader(path);
    Feature f;
    try {
        reader.next(f);
        ADD_FAILURE() << "read";
    } catch (const InputError& e) {
        EXPECT_NE(std::string(e.what()).find("line 1: longer than 4 MB"), std::string::npos) << e.what();
    }
}

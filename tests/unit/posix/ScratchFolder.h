#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace mapfeed::testing {

/// A folder of the test's own under /tmp, removed with everything in it afterwards.
class ScratchFolder : public ::testing::Test {
protected:
    ScratchFolder() {
        char pattern[] = "/tmp/mapfeed-unit-XXXXXX";
        dir = ::mkdtemp(pattern);
    }
    ~ScratchFolder() override { std::filesystem::remove_all(dir); }

    std::string path(const std::string& name) const { return (dir / name).string(); }
    std::string read(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        return content.str();
    }

    std::filesystem::path dir;
};

}  // namespace mapfeed::testing

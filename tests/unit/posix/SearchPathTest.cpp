#include "posix/SearchPath.h"

#include <sys/stat.h>

#include <fstream>
#include <gtest/gtest.h>

#include "tests/unit/posix/ScratchFolder.h"

using namespace mapfeed;
using SearchPathTest = mapfeed::testing::ScratchFolder;

TEST(SearchPath, LosesEveryEntryThatNamesAFolderRelativeToTheCurrentOne) {
    const std::pair<const char*, const char*> cases[] = {
        {"/usr/local/bin:/usr/bin", "/usr/local/bin:/usr/bin"},
        {"/usr/local/bin::/usr/bin", "/usr/local/bin:/usr/bin"},
        {":/usr/bin", "/usr/bin"},
        {"/usr/bin:", "/usr/bin"},
        {".:/bin:bin:./x:/opt/mapfeed/converter", "/bin:/opt/mapfeed/converter"},
        {"", ""},
        {"::", ""},
    };
    for (const auto& [path, clean] : cases) EXPECT_EQ(clean, posix::cleanSearchPath(path)) << path;
}

TEST_F(SearchPathTest, FindsTheFirstExecutableRegularFile) {
    const std::string first = path("first"), second = path("second");
    ::mkdir(first.c_str(), 0755);
    ::mkdir(second.c_str(), 0755);
    ::mkdir((first + "/perl").c_str(), 0755);  // a folder of that name is no program
    std::ofstream(second + "/perl") << "#!/bin/sh\n";
    std::ofstream(first + "/mapfeed.pl") << "not executable\n";
    std::ofstream(second + "/mapfeed.pl") << "#!/usr/bin/perl\n";
    ::chmod((second + "/perl").c_str(), 0755);
    ::chmod((second + "/mapfeed.pl").c_str(), 0755);
    EXPECT_EQ(second + "/perl", posix::findProgram("perl", first + ":" + second));
    EXPECT_EQ(second + "/mapfeed.pl", posix::findProgram("mapfeed.pl", first + "::" + second));
    EXPECT_EQ(std::nullopt, posix::findProgram("perl", first));
    EXPECT_EQ("./perl", posix::findProgram("./perl", "")) << "a name with a slash is taken as it is";
}

#include "posix/FolderReader.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "tests/unit/posix/ScratchFolder.h"

namespace fs = std::filesystem;
using namespace mapfeed;
using FolderReaderTest = mapfeed::testing::ScratchFolder;

TEST_F(FolderReaderTest, AFolderThatIsGoneReadsAsNothing) {
    posix::FolderReader reader;
    fs::create_directory(path("shown"));
    std::ofstream(path("shown/a.gen"));
    ASSERT_NE(nullptr, reader.read(path("shown")));
    EXPECT_EQ(std::vector<std::string>{"a.gen"}, reader.read(path("shown"))->files);
    fs::remove_all(path("shown"));
    EXPECT_EQ(nullptr, reader.read(path("shown")));
}

TEST_F(FolderReaderTest, ABrokenLinkCostsOnlyItsOwnEntry) {
    posix::FolderReader reader;
    std::ofstream(path("a.gen"));
    fs::create_symlink(path("gone"), path("broken.gen"));
    const auto contents = reader.read(dir.string());
    ASSERT_NE(nullptr, contents);
    EXPECT_EQ(std::vector<std::string>{"a.gen"}, contents->files);
}

TEST_F(FolderReaderTest, FolderReadingListsFilesAndFoldersApart) {
    posix::FolderReader reader;
    std::ofstream(path("b.gen"));
    std::ofstream(path("A.dgn"));
    std::ofstream(path(".hidden"));
    fs::create_directory(path("sub"));
    fs::create_symlink(path("b.gen"), path("link.gen"));
    fs::create_symlink(path("sub"), path("linkdir"));
    ASSERT_EQ(0, ::mkfifo(path("pipe").c_str(), 0600));
    const auto contents = reader.read(dir.string());
    ASSERT_NE(nullptr, contents);
    EXPECT_EQ((std::vector<std::string>{"A.dgn", "b.gen", "link.gen"}), contents->files);
    EXPECT_EQ((std::vector<std::string>{"linkdir", "sub"}), contents->folders);
}

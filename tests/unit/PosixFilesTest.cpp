#include "platform/posix/PosixFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "job/ArgumentSplit.h"
#include "platform/posix/FolderReader.h"
#include "platform/posix/PosixServices.h"
#include "platform/posix/ProcessStart.h"

namespace fs = std::filesystem;
using namespace mapfeed;

class PosixFilesTest : public ::testing::Test {
protected:
    PosixFilesTest() {
        char pattern[] = "/tmp/mapfeed-unit-XXXXXX";
        dir = ::mkdtemp(pattern);
    }
    ~PosixFilesTest() override { fs::remove_all(dir); }

    std::string path(const std::string& name) const { return (dir / name).string(); }
    std::string read(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        return content.str();
    }

    fs::path dir;
};

TEST_F(PosixFilesTest, FileExistsOnlyForReadableRegularFiles) {
    std::ofstream(path("in.gen")) << "x";
    std::ofstream(path("empty.dgn"));
    fs::create_directory(path("folder"));
    ASSERT_EQ(0, ::mkfifo(path("pipe").c_str(), 0600));

    EXPECT_TRUE(posix::fileExists(path("in.gen")));
    EXPECT_TRUE(posix::fileExists(path("empty.dgn")));
    EXPECT_FALSE(posix::fileExists(""));
    EXPECT_FALSE(posix::fileExists(path("missing")));
    EXPECT_FALSE(posix::fileExists(path("folder")));
    EXPECT_FALSE(posix::fileExists(path("pipe"))) << "and it must not hang";
    EXPECT_FALSE(posix::fileExists("/dev/null"));
    if (::geteuid() != 0) {
        ::chmod(path("in.gen").c_str(), 0);
        EXPECT_FALSE(posix::fileExists(path("in.gen")));
    }
}

TEST_F(PosixFilesTest, AppendKeepsEarlierRecords) {
    const std::string log = path("MapfeedLog.dat");
    EXPECT_FALSE(posix::appendRecord(log, "a\r\nb\r\nc\r\n"));
    EXPECT_FALSE(posix::appendRecord(log, "d\r\ne\r\nf\r\n"));
    EXPECT_EQ("a\r\nb\r\nc\r\nd\r\ne\r\nf\r\n", read("MapfeedLog.dat"));
}

TEST_F(PosixFilesTest, AppendReportsAFolderAndAFullDevice) {
    fs::create_directory(path("MapfeedLog.dat"));
    EXPECT_TRUE(posix::appendRecord(path("MapfeedLog.dat"), "x\r\n"));
    fs::create_symlink("/dev/full", path("full.dat"));
    EXPECT_TRUE(posix::appendRecord(path("full.dat"), "x\r\n"));
}

TEST(DateTimeText, ShortDateBlankLongTimeInTheCLocale) {
    std::tm frozen{};
    frozen.tm_year = 100;
    frozen.tm_mday = 2;
    frozen.tm_hour = 3;
    frozen.tm_min = 4;
    frozen.tm_sec = 5;
    frozen.tm_isdst = -1;
    EXPECT_EQ("01/02/00 03:04:05", posix::localDateTimeText(std::mktime(&frozen)));
}

TEST_F(PosixFilesTest, SpawnRunsWithoutAShellAndReportsWhatIsMissing) {
    const std::string marker = path("INJ");
    // Quoted as a user would quote a name with a blank; a shell would run the $( ) and the ;.
    const auto spawned = posix::spawnDetached(splitCommandLine("touch \"" + path("x$(touch INJ)y;touch") + "\""));
    ASSERT_TRUE(spawned.started) << spawned.error;
    EXPECT_GT(spawned.pid, 0);
    for (int i = 0; i < 200 && !fs::exists(path("x$(touch INJ)y;touch")); ++i) ::usleep(10000);
    EXPECT_TRUE(fs::exists(path("x$(touch INJ)y;touch")));
    EXPECT_FALSE(fs::exists(marker));
    EXPECT_FALSE(fs::exists("INJ"));

    const auto missing = posix::spawnDetached({"no-such-program-mapfeed"});
    EXPECT_FALSE(missing.started);
    EXPECT_NE(std::string::npos, missing.error.find("no-such-program-mapfeed"));
}

namespace {

/// The operating system's services alone; what needs a screen is not used here.
struct ScreenlessServices : posix::PosixServices {
    MessageAnswer messageBox(const std::string&, MessageButtons) override { return MessageAnswer::Ok; }
    std::optional<std::string> showOpenFile(const OpenFileDialog&) override { return std::nullopt; }
    void quit() override {}
};

}  // namespace

TEST_F(PosixFilesTest, StartFailuresNameTheirReason) {
    ScreenlessServices services;
    const std::string savedPath = std::getenv("PATH");
    ::setenv("PATH", dir.c_str(), 1);  // a folder without perl
    const StartResult noPerl = services.startProcess({"perl -S mapfeed.pl -I a -D b", splitCommandLine("perl -S mapfeed.pl -I a -D b"), "a"});
    ::setenv("PATH", savedPath.c_str(), 1);
    EXPECT_FALSE(noPerl.started);
    EXPECT_NE(std::string::npos, noPerl.error.find("perl")) << noPerl.error;
    EXPECT_NE(std::string::npos, noPerl.error.find("PATH")) << noPerl.error;

    // One argument longer than the system takes (128 KiB on Linux).
    const StartResult tooLong = services.startProcess({"true", {"true", std::string(1 << 20, 'x')}, ""});
    EXPECT_FALSE(tooLong.started);
    EXPECT_EQ("Argument list too long", tooLong.error);
}

TEST_F(PosixFilesTest, AFolderThatIsGoneReadsAsNothing) {
    posix::FolderReader reader;
    fs::create_directory(path("shown"));
    std::ofstream(path("shown/a.gen"));
    ASSERT_NE(nullptr, reader.read(path("shown")));
    EXPECT_EQ(std::vector<std::string>{"a.gen"}, reader.read(path("shown"))->files);
    fs::remove_all(path("shown"));
    EXPECT_EQ(nullptr, reader.read(path("shown")));
}

TEST_F(PosixFilesTest, FolderReadingListsFilesAndFoldersApart) {
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

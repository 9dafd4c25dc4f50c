#include "posix/PosixFiles.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <thread>

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "tests/unit/posix/ScratchFolder.h"

namespace fs = std::filesystem;
using namespace mapfeed;

using PosixFilesTest = mapfeed::testing::ScratchFolder;

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

TEST_F(PosixFilesTest, CreateEmptyFileMakesOneWhereNothingStandsAndEmptiesNothing) {
    EXPECT_EQ(std::nullopt, posix::createEmptyFile(path("new.dgn")));
    EXPECT_TRUE(posix::fileExists(path("new.dgn")));
    EXPECT_EQ("", read("new.dgn"));
    std::ofstream(path("kept.dgn")) << "design";
    EXPECT_EQ(std::nullopt, posix::createEmptyFile(path("kept.dgn")));
    EXPECT_EQ("design", read("kept.dgn")) << "a file that is there keeps what it holds";
    // A link is never followed: its target is not made where the link points.
    std::filesystem::create_symlink(path("target.dgn"), path("link.dgn"));
    EXPECT_EQ(std::nullopt, posix::createEmptyFile(path("link.dgn")));
    EXPECT_FALSE(std::filesystem::exists(path("target.dgn")));
    EXPECT_NE(std::nullopt, posix::createEmptyFile(path("no/such/folder.dgn")));
}

TEST_F(PosixFilesTest, FileExistsForAPathHoldingANulIsFalse) {
    std::ofstream(path("sp ace.gen"));
    // Cut at its NUL, the name would be that of the existing file.
    EXPECT_FALSE(posix::fileExists(path("sp ace.gen") + std::string(1, '\0') + "x"));
    EXPECT_FALSE(posix::fileExists(std::string(1, '\0')));
}

TEST_F(PosixFilesTest, FileExistsLeavesAnotherProgramsLeaseAlone) {
    const std::string leased = path("leased.gen");
    std::ofstream(leased) << "x";
    // The holder takes a write lease, then reports whether it was asked to give it up.
    int report[2];
    ASSERT_EQ(0, ::pipe(report));
    const pid_t holder = ::fork();
    if (holder == 0) {
        static int reportFd = report[1];
        ::signal(SIGIO, [](int) { (void)!::write(reportFd, "B", 1); });
        const int fd = ::open(leased.c_str(), O_WRONLY);
        const bool leasing = fd >= 0 && ::fcntl(fd, F_SETLEASE, F_WRLCK) == 0;
        (void)!::write(report[1], leasing ? "L" : "N", 1);
        ::sleep(3);
        ::_exit(0);
    }
    char state = 0;
    ASSERT_EQ(1, ::read(report[0], &state, 1));
    ASSERT_EQ('L', state) << "no lease could be taken here";

    EXPECT_TRUE(posix::fileExists(leased));

    pollfd broken{report[0], POLLIN, 0};
    EXPECT_EQ(0, ::poll(&broken, 1, 300)) << "the holder was told to give up its lease";
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ::close(report[0]);
    ::close(report[1]);
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

TEST_F(PosixFilesTest, AppendRefusesALinkAndAPipeWithoutWaiting) {
    std::ofstream(path("profile")) << "kept\n";
    fs::create_symlink(path("profile"), path("MapfeedLog.dat"));
    const auto linked = posix::appendRecord(path("MapfeedLog.dat"), "x\r\n");
    ASSERT_TRUE(linked);
    EXPECT_NE(std::string::npos, linked->find("symbolic link")) << *linked;
    EXPECT_EQ("kept\n", read("profile"));
    fs::create_symlink(path("nowhere"), path("dangling.dat"));
    EXPECT_TRUE(posix::appendRecord(path("dangling.dat"), "x\r\n"));
    EXPECT_FALSE(fs::exists(path("nowhere")));

    ASSERT_EQ(0, ::mkfifo(path("pipe.dat").c_str(), 0600));
    EXPECT_EQ("it is not a regular file", posix::appendRecord(path("pipe.dat"), "x\r\n").value_or(""))
        << "and it must not hang";
}

TEST_F(PosixFilesTest, AppendGivesUpOnALockHeldByAnotherProgram) {
    const std::string log = path("MapfeedLog.dat");
    const int held = ::open(log.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(0, ::flock(held, LOCK_EX));
    // The same lock from another open file description conflicts as another program's does.
    int waits = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(posix::kLogInUse, posix::appendRecord(log, "x\r\n", [&] { ++waits; }).value_or(""));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(seconds, 1.5);
    EXPECT_LT(seconds, 4.0);
    EXPECT_GT(waits, 10) << "the window is kept answering while it waits";
    EXPECT_EQ("", read("MapfeedLog.dat"));
    ::close(held);
    EXPECT_FALSE(posix::appendRecord(log, "x\r\n"));
}

TEST_F(PosixFilesTest, AppendEndsALineThatAKilledWriterLeftCut) {
    const std::string log = path("MapfeedLog.dat");
    std::ofstream(log, std::ios::binary) << "a\r\nb\r\nc\r\nd\r\nperl -S map";
    EXPECT_FALSE(posix::appendRecord(log, "e\r\nf\r\ng\r\n"));
    EXPECT_EQ("a\r\nb\r\nc\r\nd\r\nperl -S map\r\ne\r\nf\r\ng\r\n", read("MapfeedLog.dat"));
    // Cut between the two characters of a line end.
    std::ofstream(log, std::ios::binary) << "d\r";
    EXPECT_FALSE(posix::appendRecord(log, "e\r\n"));
    EXPECT_EQ("d\r\ne\r\n", read("MapfeedLog.dat"));
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

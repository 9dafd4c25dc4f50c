#include "browse/BrowseWindow.h"

#include <clocale>
#include <gtest/gtest.h>

#include "app/Application.h"
#include "tests/support/WindowLookup.h"
#include "browse/FilePattern.h"
#include "tests/support/FakeWorld.h"

using namespace mapfeed;

TEST(FilePattern, WildcardsWithoutRegardToCase) {
    EXPECT_TRUE(matchesPattern("roads.gen", "*.gen"));
    EXPECT_TRUE(matchesPattern("ROADS.GEN", "*.gen"));
    EXPECT_FALSE(matchesPattern("roads.gen.bak", "*.gen"));
    EXPECT_TRUE(matchesPattern("a1.dgn", "a?.dgn"));
    EXPECT_FALSE(matchesPattern("a.dgn", "a?.dgn"));
    EXPECT_TRUE(matchesPattern("x", "*"));
    EXPECT_TRUE(matchesPattern("aaab", "*a*b"));
    EXPECT_FALSE(matchesPattern("aaac", "*a*b"));
}

TEST(FilePattern, StarDotStarMatchesNamesWithoutADot) {
    EXPECT_TRUE(matchesPattern("README", "*.*"));
    EXPECT_TRUE(matchesPattern("a.b", "*.*"));
    EXPECT_FALSE(matchesPattern("README", "*.?*")) << "only the exact *.* is special";
}

TEST(FilePattern, SeveralPatternsAndEmpty) {
    EXPECT_TRUE(matchesPattern("b.dgn", "*.gen;*.dgn"));
    EXPECT_TRUE(matchesPattern("b.dgn", "*.gen; *.dgn"));
    EXPECT_FALSE(matchesPattern("b.ulf", "*.gen;*.dgn"));
    EXPECT_FALSE(matchesPattern("b.ulf", ""));
    EXPECT_FALSE(matchesPattern("b.ulf", ";"));
}

TEST(FilePattern, AQuestionMarkIsOneCharacterOfTheLocale) {
    const std::string saved = std::setlocale(LC_CTYPE, nullptr);
    ASSERT_NE(nullptr, std::setlocale(LC_CTYPE, "C.UTF-8"));
    EXPECT_TRUE(matchesPattern("\xC3\xA9.gen", "?.gen"));  // é
    EXPECT_FALSE(matchesPattern("\xC3\xA9.gen", "??.gen"));
    EXPECT_TRUE(matchesPattern("a\xE2\x82\xAC" "b.gen", "*?b.gen"));  // a€b
    EXPECT_FALSE(matchesPattern("\xE2\x82\xAC.gen", "*??.gen"));
    // Not valid UTF-8: byte by byte where it is not.
    EXPECT_TRUE(matchesPattern("\xE9.gen", "?.gen"));
    EXPECT_TRUE(matchesPattern("\xE9\xC3\xA9.gen", "??.gen"));
    std::setlocale(LC_CTYPE, "C");
    EXPECT_TRUE(matchesPattern("\xC3\xA9.gen", "??.gen")) << "bytes in the C locale";
    std::setlocale(LC_CTYPE, saved.c_str());
}

TEST(FilePattern, LongNamesStayLinear) {
    // A backtracking matcher would take exponential time on this shape.
    const std::string name(5000, 'a');
    EXPECT_FALSE(matchesPattern(name, "*a*a*a*a*a*a*a*a*a*a*b"));
}

/// A world whose folders exist before any window reads them.
struct BrowseWorld : mapfeed::testing::FakeWorld {
    BrowseWorld() {
        folders["/work"] = {{"maps", "old"}, {"a.gen", "b.dgn", "C.GEN", "olddgn", "x.DGN", "zz"}};
        folders["/work/maps"] = {{}, {"m.gen"}};
        folders["/media/usb"] = {{"data"}, {"u.gen"}};
    }
};

class BrowseTest : public ::testing::Test {
protected:
    BrowseTest() : app(world, world) {
        app.start();
        app.dialogs.get<BrowseWindow>().show();
        world.events.clear();
    }

    BrowseWorld world;
    Application app;
    BrowseWindow& b = app.dialogs.get<BrowseWindow>();
};

TEST_F(BrowseTest, OpensOnTheCurrentFolderWithTheGenPattern) {
    EXPECT_EQ("*.gen", b.ExtCmbo.text());
    EXPECT_EQ("/work", b.Dir1.path());
    EXPECT_EQ((std::vector<std::string>{"/", "/work", "/work/maps", "/work/old"}), b.Dir1.entries());
    EXPECT_EQ((std::vector<std::string>{"a.gen", "C.GEN"}), b.File1.entries());
    EXPECT_EQ("/", b.Drive1.drive());
}

TEST_F(BrowseTest, EachEditOfThePatternRelistsAndClearsTheSelection) {
    b.File1.userPicks("a.gen");
    b.ExtCmbo.userTypes("*.d");
    EXPECT_TRUE(b.File1.entries().empty());
    EXPECT_EQ("", b.File1.selected());
    b.ExtCmbo.userTypes("*.dgn");
    EXPECT_EQ((std::vector<std::string>{"b.dgn", "x.DGN"}), b.File1.entries());
    b.ExtCmbo.userPicks("*.*");
    EXPECT_EQ(6u, b.File1.entries().size());
}

TEST_F(BrowseTest, DeliversByTheExactEndingOfTheName) {
    b.ExtCmbo.userPicks("*.*");
    b.File1.userDoubleClicks("olddgn");
    EXPECT_EQ("/work/olddgn", app.mapfeed.DgnFileTxt.text());
    EXPECT_EQ((std::vector<std::string>{"hide BrowFrm"}), world.events);

    app.dialogs.get<BrowseWindow>().show();
    b.File1.userDoubleClicks("x.DGN");
    EXPECT_EQ("/work/x.DGN", app.mapfeed.InfileTxt.text());

    app.dialogs.get<BrowseWindow>().show();
    b.File1.userPicks("zz");
    b.OkCmd.userClicks();
    EXPECT_EQ("/work/zz", app.mapfeed.InfileTxt.text());
}

TEST_F(BrowseTest, OkWithoutSelectionWritesTheFolderAndOneSeparator) {
    b.OkCmd.userClicks();
    EXPECT_EQ("/work/", app.mapfeed.InfileTxt.text());
    app.dialogs.get<BrowseWindow>().show();
    b.Dir1.userOpens("/");
    b.OkCmd.userClicks();
    EXPECT_EQ("//", app.mapfeed.InfileTxt.text());
}

TEST_F(BrowseTest, DriveMovesFolderAndFileLists) {
    b.Drive1.userPicks("/media/usb");
    EXPECT_EQ("/media/usb", b.Dir1.path());
    EXPECT_EQ("/media/usb", b.File1.path());
    EXPECT_EQ((std::vector<std::string>{"u.gen"}), b.File1.entries());
}

TEST_F(BrowseTest, UnreadableFolderKeepsTheLastOne) {
    world.folders.erase("/work/maps");
    b.Dir1.userOpens("/work/maps");
    EXPECT_EQ("/work", b.Dir1.path());
    EXPECT_EQ("/work", b.File1.path());
    EXPECT_EQ((std::vector<std::string>{"a.gen", "C.GEN"}), b.File1.entries());
}

TEST_F(BrowseTest, CancelKeepsStateAndFrameCloseStartsAfresh) {
    b.Dir1.userOpens("/work/maps");
    b.ExtCmbo.userPicks("*.*");
    b.EndCmd.userClicks();
    app.dialogs.get<BrowseWindow>().show();
    EXPECT_EQ("/work/maps", app.dialogs.get<BrowseWindow>().Dir1.path());
    EXPECT_EQ("*.*", app.dialogs.get<BrowseWindow>().File1.pattern());

    app.closeThroughFrame(app.dialogs.get<BrowseWindow>());
    EXPECT_EQ(nullptr, mapfeed::testing::findWindow(app, "BrowFrm"));
    app.dialogs.get<BrowseWindow>().show();
    EXPECT_EQ("/work", app.dialogs.get<BrowseWindow>().Dir1.path());
    EXPECT_EQ("*.gen", app.dialogs.get<BrowseWindow>().File1.pattern());
}

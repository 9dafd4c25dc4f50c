#include "browse/BrowseWindow.h"

#include <gtest/gtest.h>

#include "tests/support/WindowLookup.h"
#include "app/Application.h"
#include "tests/support/FakeWorld.h"

using namespace mapfeed;

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

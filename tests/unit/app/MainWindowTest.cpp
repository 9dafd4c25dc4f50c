#include "app/MainWindow.h"

#include <gtest/gtest.h>

#include "app/Application.h"
#include "tests/support/FakeWorld.h"

using namespace mapfeed;
using mapfeed::testing::FakeWorld;

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() : app(world, world) {
        app.start();
        world.events.clear();
    }

    void haveFiles() {
        world.files["in.gen"] = FileCheck::Exists;
        world.files["out.dgn"] = FileCheck::Exists;
        m.InfileTxt.userTypes("in.gen");
        m.DgnFileTxt.userTypes("out.dgn");
    }

    FakeWorld world;
    Application app;
    MainWindow& m = app.mapfeed;
};

TEST_F(MainWindowTest, StartsWithDefaultsAndAnEmptyTable) {
    EXPECT_EQ("Arc/Info", m.SrcCmb.text());
    EXPECT_EQ("Area - lines & centroids", m.ThemeCmb.text());
    EXPECT_EQ("Point", m.CentrCmb.text());
    EXPECT_EQ((std::vector<std::string>{"Point", "Textnode", "Annotation", "Cells"}), m.CentrCmb.entries());
    EXPECT_EQ("Centroid Table Name:", m.Label4.caption());
    EXPECT_FALSE(m.Mslinktxt.enabled());
    EXPECT_FALSE(m.Label7.enabled());
    EXPECT_TRUE(m.LineOpt.selected());
    EXPECT_FALSE(m.CrvOpt.selected());
    EXPECT_EQ(OptionTable{}, app.options);
    for (Control* control : m.controls()) {
        if (control == &m.Mslinktxt || control == &m.Label7) continue;
        EXPECT_TRUE(control->enabled()) << control->name();
    }
}

TEST_F(MainWindowTest, TabOrderAndInitialFocus) {
    std::vector<std::string> names;
    for (Control* control : m.tabOrder()) names.push_back(control->name());
    EXPECT_EQ((std::vector<std::string>{"InfileTxt", "BrwCmd", "DgnFileTxt", "Brw2Cmd", "SrcCmb", "ThemeCmb", "CrvOpt",
                                        "Outlevtxt", "CentrCmb", "CentrTxt", "PntsymCmd", "TblnmTxt", "Mslinktxt",
                                        "ApplyCmd", "CloseCmd", "LinsymCmd", "LineOpt", "RasterChck", "ClearCmd"}),
              names);
    EXPECT_EQ(&m.InfileTxt, m.initialFocus());
}

TEST_F(MainWindowTest, RefusesMissingFilesInputFirst) {
    m.ApplyCmd.userClicks();
    EXPECT_EQ((std::vector<std::string>{"message \"The Input File Does Not Exist\" OK", "  -> OK", "focus mapfeed.InfileTxt"}), world.events);

    world.events.clear();
    world.files["in.gen"] = FileCheck::Exists;
    m.InfileTxt.userTypes("in.gen -+");
    m.ApplyCmd.userClicks();
    EXPECT_EQ((std::vector<std::string>{"message \"The Design File Does Not Exist\" OK", "  -> OK", "focus mapfeed.DgnFileTxt"}),
              world.events);
    EXPECT_EQ(OptionTable{}, app.options) << "a refusal leaves the table alone";
    EXPECT_TRUE(world.log.empty());
}

TEST_F(MainWindowTest, AFileWhoseFolderDoesNotAnswerIsToldApart) {
    haveFiles();
    world.files["in.gen"] = FileCheck::NoAnswer;
    m.ApplyCmd.userClicks();
    ASSERT_EQ(3u, world.events.size());
    EXPECT_EQ(0u, world.events[0].find("message \"The input file could not be looked at: the folder it is in does not "
                                       "answer"))
        << world.events[0];
    EXPECT_EQ("focus mapfeed.InfileTxt", world.events[2]);

    world.events.clear();
    world.files["in.gen"] = FileCheck::Exists;
    world.files["out.dgn"] = FileCheck::NoAnswer;
    m.ApplyCmd.userClicks();
    ASSERT_EQ(3u, world.events.size());
    EXPECT_EQ(0u, world.events[0].find("message \"The design file could not be looked at")) << world.events[0];
    EXPECT_EQ("focus mapfeed.DgnFileTxt", world.events[2]);
    EXPECT_TRUE(world.log.empty());
}

TEST_F(MainWindowTest, ApplyStartsThenLogsTheSameCommand) {
    haveFiles();
    m.ApplyCmd.userClicks();
    ASSERT_EQ(2u, world.events.size());
    ASSERT_EQ("  -> task 1000", world.events[1]);
    const std::string command = world.events[0].substr(7, world.events[0].size() - 8);
    EXPECT_EQ(0u, command.find("perl -S mapfeed.pl -I in.gen -D out.dgn "));
    ASSERT_EQ(1u, world.log.size());
    EXPECT_EQ("DATE\r\n" + command + "\r\nThe returnvalue is: 1000\r\n", world.log[0]);

    m.ApplyCmd.userClicks();
    EXPECT_EQ(world.events[0], world.events[2]) << "nothing changed: the same command again";
    EXPECT_EQ("DATE\r\n" + command + "\r\nThe returnvalue is: 1001\r\n", world.log[1]);
}

TEST_F(MainWindowTest, FailedStartIsReportedAndNotLogged) {
    haveFiles();
    world.startFailures = {true};
    m.ApplyCmd.userClicks();
    ASSERT_EQ(4u, world.events.size());
    EXPECT_EQ("  -> failed", world.events[1]);
    EXPECT_EQ("message \"The converter could not be started: \\\"perl\\\" was not found on the program search path "
              "(PATH)\" OK",
              world.events[2]);
    EXPECT_TRUE(world.log.empty());
}

TEST_F(MainWindowTest, LogFailureIsReportedAfterTheStart) {
    haveFiles();
    world.logFailure = "Is a directory";
    m.ApplyCmd.userClicks();
    ASSERT_EQ(4u, world.events.size());
    EXPECT_EQ(0u, world.events[0].find("start "));
    EXPECT_EQ("message \"The converter was started (task 1000), but its record could not be added to MapfeedLog.dat: "
              "Is a directory\" OK",
              world.events[2]);
}

TEST_F(MainWindowTest, ClearResetsTheJob) {
    m.ThemeCmb.userPicks("Point");
    m.TblnmTxt.userTypes("roads");
    m.CrvOpt.userClicks();
    m.Outlevtxt.userTypes("3");
    m.RasterChck.userClicks();
    m.SrcCmb.userPicks("MOSS");
    m.ClearCmd.userClicks();

    EXPECT_EQ("Arc/Info", m.SrcCmb.text());
    EXPECT_EQ("Area - polygons", m.ThemeCmb.text());
    EXPECT_EQ("Point Table Name:", m.Label4.caption()) << "Clear leaves the label as the theme set it";
    EXPECT_EQ("", m.TblnmTxt.text());
    EXPECT_EQ("", m.Mslinktxt.text());
    EXPECT_FALSE(m.Mslinktxt.enabled());
    EXPECT_FALSE(m.Label7.enabled());
    EXPECT_TRUE(m.LineOpt.selected());
    EXPECT_FALSE(m.CrvOpt.selected());
    EXPECT_EQ(0, m.RasterChck.value());
    EXPECT_TRUE(m.LinsymCmd.enabled());
    EXPECT_TRUE(m.Outlevtxt.enabled());
    EXPECT_EQ(OptionTable{}, app.options);
}

TEST_F(MainWindowTest, DisabledControlsTakeNoUserInput) {
    EXPECT_FALSE(m.Mslinktxt.userTypes("5"));
    EXPECT_EQ("", m.Mslinktxt.text());
    m.ThemeCmb.userPicks("Linear");
    EXPECT_FALSE(m.CentrCmb.userPicks("Cells"));
    EXPECT_FALSE(m.RasterChck.userClicks());
    EXPECT_EQ("Point", m.CentrCmb.text());
}

TEST_F(MainWindowTest, CloseEndsTheProgram) {
    m.CloseCmd.userClicks();
    EXPECT_EQ((std::vector<std::string>{"quit"}), world.events);
    world.events.clear();
    app.closeThroughFrame(m);
    EXPECT_EQ((std::vector<std::string>{"quit"}), world.events);
}

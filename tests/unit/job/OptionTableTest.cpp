#include "job/OptionTable.h"

#include <gtest/gtest.h>

#include "job/ArgumentSplit.h"
#include "job/CommandComposition.h"
#include "job/RunRecord.h"

using namespace mapfeed;

TEST(OptionTable, EmptyTableJoinsToTwoBlanksPerSlot) {
    OptionTable table;
    EXPECT_EQ(std::string(54, ' '), table.JoinOptions(""));
}

TEST(OptionTable, EachKindOfSlotPutsOutItsOwnBlanks) {
    OptionTable table;
    table.SetOptionFlag(Slot::Curves, "-c");
    table.SetOption(Slot::PointLevel, "-C ", "5");
    table.BlankOption(Slot::LineworkLevel);
    const std::string joined = table.JoinOptions("X");
    EXPECT_NE(std::string::npos, joined.find(" -c "));
    EXPECT_NE(std::string::npos, joined.find(" -C  5"));
    // Length: the text, 54 blanks, and every string of the table.
    EXPECT_EQ(1u + 54u + 2u + 3u + 1u + 2u, joined.size());
    EXPECT_EQ("X" + std::string(10, ' ') + "    " + " -C  5", joined.substr(0, 21));
}

TEST(OptionTable, FlagAndValueAreWrittenSeparately) {
    OptionTable table;
    table.SetOptionValue(Slot::PointType, "P");
    table.SetOptionFlag(Slot::PointType, "-O");
    table.SetOptionFlag(Slot::PointType, "-Q");
    EXPECT_EQ("-Q", table.flag(9));
    EXPECT_EQ("P", table.value(9));
    table.ClearOption(Slot::PointType);
    EXPECT_EQ("", table.flag(9));
    EXPECT_EQ("", table.value(9));
}

TEST(OptionTable, ClearAllReturnsToTheStartState) {
    OptionTable table;
    for (int slot = 0; slot < OptionTable::kSlots; ++slot) table.SetOption(static_cast<Slot>(slot), "-x", std::to_string(slot));
    table.BlankOption(Slot::Source);
    table.ClearAllOptions();
    EXPECT_EQ(OptionTable{}, table);
}

namespace {

// The example job: in.gen and out.dgn, "Arc/Info", theme "Linear" picked before, level 12.
JobFields linearJob() {
    JobFields f;
    f.infile = "in.gen";
    f.dgnfile = "out.dgn";
    f.source = "Arc/Info";
    f.outlev = "12";
    f.centrCmbEnabled = false;
    f.centrCmbText = "Point";
    f.centrTxtEnabled = false;
    return f;
}

}  // namespace

TEST(CommandComposition, ComposesTheLinearExampleExactly) {
    OptionTable table;
    table.SetOption(Slot::Theme, "-P", "L");
    const JobFields job = linearJob();
    deriveOptions(table, job);
    const std::string expected = "perl -S mapfeed.pl -I in.gen -D out.dgn" + std::string(6, ' ') + " -S A -P L -L 12" +
                                 std::string(43, ' ');
    EXPECT_EQ(expected, composeCommandLine(table, job));
}

TEST(CommandComposition, DerivedSlotsFollowTheFields) {
    OptionTable table;
    JobFields job = linearJob();
    job.centrCmbEnabled = true;
    job.centrCmbText = "Textnode";
    job.curvesSelected = true;
    job.outlevEnabled = false;  // a disabled level is blanked even when it holds text
    job.centrLevel = "7";
    job.mslink = "1";
    job.tableName = "";  // no table name, no mslink
    job.source = "MOSS";
    deriveOptions(table, job);
    EXPECT_EQ("-O", table.flag(9));
    EXPECT_EQ("T", table.value(9));
    EXPECT_EQ("-c", table.flag(11));
    EXPECT_EQ(" ", table.flag(5));
    EXPECT_EQ(" ", table.value(5));
    EXPECT_EQ("", table.flag(6));
    EXPECT_EQ("", table.flag(8));
    EXPECT_EQ("", table.flag(3)) << "only Arc/Info is written by Apply";

    job.centrTxtEnabled = true;
    job.tableName = "roads";
    job.centrCmbText = "Something else";
    deriveOptions(table, job);
    EXPECT_EQ("-C ", table.flag(6));
    EXPECT_EQ("7", table.value(6));
    EXPECT_EQ("-M", table.flag(8));
    EXPECT_EQ("T", table.value(9)) << "an unknown type keeps the last letter";

    job.centrCmbEnabled = false;
    table.ClearOption(Slot::PointType);
    deriveOptions(table, job);
    EXPECT_EQ("", table.flag(9)) << "a disabled type list leaves slot 9 alone";
}

TEST(CommandComposition, SuffixMarker) {
    EXPECT_EQ((MarkedPath{"in.gen", true}), (splitSuffixMarker("in.gen -+")));
    EXPECT_EQ((MarkedPath{"", true}), (splitSuffixMarker(" -+")));
    EXPECT_EQ((MarkedPath{"-+", false}), (splitSuffixMarker("-+")));
    EXPECT_EQ((MarkedPath{"a-+", false}), (splitSuffixMarker("a-+")));

    OptionTable table;
    JobFields job = linearJob();
    job.infile = "in.gen -+";
    job.dgnfile = "out.dgn -+";
    const std::string command = composeCommandLine(table, job);
    EXPECT_EQ(0u, command.find("perl -S mapfeed.pl -I in.gen -+ -D out.dgn -+ "));
    ASSERT_GE(command.size(), 6u);
    EXPECT_EQ("   -+", command.substr(command.size() - 5)) << "marker appended once";
    EXPECT_NE(" -+ -+", command.substr(command.size() - 6));
}

TEST(RunRecord, ThreeLinesEndedByCrLf) {
    EXPECT_EQ("01/02/00 03:04:05\r\nperl  x \r\nThe returnvalue is: 4242\r\n",
              formatRunRecord("01/02/00 03:04:05", "perl  x ", 4242));
}

struct SplitCase {
    const char* line;
    std::vector<std::string> args;
};

class ArgumentSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(ArgumentSplit, SplitsLikeTheClassicRuntime) { EXPECT_EQ(GetParam().args, splitCommandLine(GetParam().line)); }

INSTANTIATE_TEST_SUITE_P(
    Cases, ArgumentSplit,
    ::testing::Values(SplitCase{"", {}}, SplitCase{"   \t ", {}},
                      SplitCase{"perl -S mapfeed.pl -I in.gen     -S A    ", {"perl", "-S", "mapfeed.pl", "-I", "in.gen", "-S", "A"}},
                      SplitCase{"p \"a b\"\tc", {"p", "a b", "c"}},
                      SplitCase{"p a\"b c\"d", {"p", "ab cd"}},
                      SplitCase{"p \"\"", {"p", ""}},
                      SplitCase{R"(p a\\b \\)", {"p", R"(a\\b)", R"(\\)"}},
                      SplitCase{R"(p a\"b)", {"p", "a\"b"}},
                      SplitCase{R"(p a\\\"b)", {"p", R"(a\"b)"}},
                      SplitCase{R"(p a\\"b c")", {"p", R"(a\b c)"}},
                      SplitCase{R"(p "a""b" c)", {"p", "a\"b c"}},
                      SplitCase{R"(p "a""b c")", {"p", "a\"b", "c"}},
                      SplitCase{"p \"open ended", {"p", "open ended"}},
                      SplitCase{R"("C:\my dir\perl" x)", {R"(C:\my dir\perl)", "x"}},
                      SplitCase{"p x$(touch INJ)y;|&`*`", {"p", "x$(touch", "INJ)y;|&`*`"}},
                      SplitCase{"p a\nb", {"p", "a\nb"}}));

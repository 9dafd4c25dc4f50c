#include "runs/RunOutput.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace mapfeed;

namespace {

std::vector<std::string> allLines(const RunOutput& output) { return output.since(0, SIZE_MAX).lines; }

}  // namespace

TEST(RunOutput, LinesEndAtLineFeedCarriageReturnOrBothWhereverThePiecesBreak) {
    RunOutput output;
    for (const char* piece : {"one\r", "\ntwo\n", "50%\r100%\r", "\n", "last"}) output.append(piece);
    EXPECT_EQ((std::vector<std::string>{"one", "two", "50%", "100%"}), allLines(output));
    EXPECT_EQ("last", output.since(0, SIZE_MAX).partial);
    output.finish();
    EXPECT_EQ("last", allLines(output).back());
    EXPECT_EQ("one\ntwo\n50%\n100%\nlast\n", output.text());
}

TEST(RunOutput, KeepsWithinItsCapsAndSaysWhatWent) {
    RunOutput output({/*bytes=*/128, /*lineBytes=*/10});
    output.append(std::string(25, 'x') + "\n");  // one long line, in one piece
    output.append("abcdefgh");
    output.append("ijklmn\n");  // and one that reaches its cap across pieces
    EXPECT_EQ((std::vector<std::string>{"xxxxxxxxxx [... 15 more bytes of this line not kept]",
                                        "abcdefghij [... 4 more bytes of this line not kept]"}),
              allLines(output));

    for (int i = 0; i < 20; ++i) output.append("line " + std::to_string(i) + "\n");
    const RunOutput::Lines kept = output.since(0, SIZE_MAX);
    EXPECT_LE(output.keptBytes(), 128u);
    EXPECT_EQ(22u, kept.first + kept.lines.size()) << "lines are numbered from the first ever written";
    EXPECT_EQ(kept.first, kept.dropped);
    EXPECT_EQ("line 19", kept.lines.back());
    EXPECT_GT(output.droppedBytes(), 0u);
}

TEST(RunOutput, ReadsInSlicesAndTellsTheConvertersLastMessage) {
    RunOutput output;
    output.append("converting in.gen\nmapfeed.pl: line 3: no END\nmapfeed.pl: nothing was written\nwrote 0\n");
    const RunOutput::Lines first = output.since(0, 10);
    ASSERT_EQ(1u, first.lines.size()) << "at least one line, then no more than asked";
    EXPECT_EQ("mapfeed.pl: line 3: no END", output.since(first.first + 1, 30).lines.at(0));
    EXPECT_EQ("mapfeed.pl: nothing was written", output.lastMessage());
    EXPECT_EQ("wrote 0", output.lastLine());

    output.drop();
    EXPECT_TRUE(allLines(output).empty());
    EXPECT_EQ(4u, output.since(0, SIZE_MAX).dropped);
}

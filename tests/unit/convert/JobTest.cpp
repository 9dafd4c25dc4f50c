// The command line, case by case: the words after the script's name, and the exit status and
// message start they are refused with (or what they set).
#include <gtest/gtest.h>

#include "convert/Failure.h"
#include "convert/Job.h"

using namespace convert;

namespace {

std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> out;
    std::string word;
    for (char c : text + " ") {
        if (c != ' ') word += c;
        else if (!word.empty()) out.push_back(word), word.clear();
    }
    return out;
}

struct Refusal {
    const char* options;
    int status;
    const char* message;
};

const Refusal kRefusals[] = {
    {"-Q 1", 2, "unknown flag '-Q'"},
    {"extra", 2, "unexpected word 'extra' (no flag before it)"},
    {"-L 3 -L 4", 2, "-L is given twice"},
    {"-L", 2, "-L needs a level from 1 to 63, and nothing followed it"},
    {"-L 64", 2, "-L needs a level from 1 to 63, not '64'"},
    {"-C 99999999999999999999", 2, "-C needs a level from 1 to 63, not '99999999999999999999'"},
    {"-M 16777216", 2, "-M needs a first mslink number"},
    {"-sp 0,32,0", 2, "-sp: the weight must be a whole number from 0 to 31, not '32'"},
    {"-sl 1,2", 2, "-sl needs style,weight,color (three parts), not '1,2'"},
    {"-txsz 0", 2, "-txsz needs a text size greater than 0, not '0'"},
    {"-txsz 1e999", 2, "-txsz needs a text size greater than 0, not '1e999'"},
    {"-R 1e999,0,1", 2, "-R needs ulhx,ulhy,pixel (three numbers a double holds)"},
    {"-R 0,0,-1", 2, "-R: the pixel size must be greater than 0, not '-1'"},
    {"-S E", 4, "Etak Map Base input (-S E) is not supported by this converter (no public description of its layout)"},
    {"-S E -L 99", 2, "-L needs a level"},  // the whole line is checked before a source is refused
};

}  // namespace

TEST(Job, Refusals) {
    for (const Refusal& r : kRefusals) {
        try {
            parseArguments(words(std::string("-I in.gen -D out.dgn ") + r.options));
            ADD_FAILURE() << r.options << ": accepted";
        } catch (const Failure& f) {
            EXPECT_EQ(f.status, r.status) << r.options;
            EXPECT_EQ(std::string(f.what()).rfind(r.message, 0), 0u) << r.options << ": " << f.what();
        }
    }
}

TEST(Job, TheProgramsCommandLine) {
    // Slot 6 arrives as "-C " with its blank; paths are taken whole; "-+" anywhere does nothing.
    const Job job = parseArguments({"-I", "-odd name.gen", "-D", "a b.dgn", "-+", "-S", "A", "-C ", "14", "-M", "-i",
                                    "-sl", "2,,6", "-c", "-R", "0,100,10", "-+"});
    EXPECT_EQ(job.input, "-odd name.gen");
    EXPECT_EQ(job.design, "a b.dgn");
    EXPECT_EQ(job.pointLevel, 14);
    EXPECT_TRUE(job.mslinkFromIds);
    EXPECT_TRUE(job.curves);
    EXPECT_EQ(job.lineSymbology->color, 6);
    EXPECT_EQ(job.substitutions, std::vector<std::string>{"-sl: no weight given, 0 used"});
    EXPECT_EQ(job.raster->ulhy, 100);
    EXPECT_EQ(job.pointType, 'P');
}

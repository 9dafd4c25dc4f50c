#include "job/ConverterCommand.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "job/ArgumentSplit.h"

using namespace mapfeed;

namespace {

using Args = std::vector<std::string>;

JobFields files(const std::string& infile, const std::string& dgnfile) {
    JobFields fields;
    fields.infile = infile;
    fields.dgnfile = dgnfile;
    fields.source = "Arc/Info";
    fields.centrCmbText = "Point";
    return fields;
}

ConverterCommand compose(const JobFields& fields, OptionTable options = {}) {
    deriveOptions(options, fields);
    return composeConverterCommand(options, fields);
}

// The arguments from the input path up to the first option.
Args fileArguments(const ConverterCommand& command) {
    const Args& a = command.arguments;
    EXPECT_GE(a.size(), 6u);
    EXPECT_EQ((Args{"perl", "-S", "mapfeed.pl", "-I"}), Args(a.begin(), a.begin() + 4));
    auto end = a.begin() + 4;
    while (end != a.end() && *end != "-S") ++end;
    return Args(a.begin() + 4, end);
}

struct PathCase {
    const char* what;
    std::string infile, dgnfile;
    Args expected;  // from the input path to the options
    bool trailer;   // "-+" after the options
};

class TestedPaths : public ::testing::TestWithParam<PathCase> {};

}  // namespace

TEST_P(TestedPaths, ReachTheConverterWhole) {
    const PathCase& c = GetParam();
    const ConverterCommand command = compose(files(c.infile, c.dgnfile));
    EXPECT_EQ(c.expected, fileArguments(command));
    EXPECT_EQ(c.trailer, command.arguments.back() == "-+");
    EXPECT_EQ(c.expected.front(), command.inputPath);
    // The line for the log keeps the fields exactly as typed.
    EXPECT_EQ(0u, command.commandLine.rfind("perl -S mapfeed.pl -I " + c.infile + " -D " + c.dgnfile + " ", 0));
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, TestedPaths,
    ::testing::Values(
        PathCase{"blank", "/d/with space.gen", "/d/o.dgn", {"/d/with space.gen", "-D", "/d/o.dgn"}, false},
        PathCase{"leading and doubled blanks", " in.gen", "a  b.dgn", {" in.gen", "-D", "a  b.dgn"}, false},
        PathCase{"trailing blank", "in.gen ", "o.dgn", {"in.gen ", "-D", "o.dgn"}, false},
        PathCase{"tab", "a\tb.gen", "o.dgn", {"a\tb.gen", "-D", "o.dgn"}, false},
        PathCase{"quote", "a\"b.gen", "\"o.dgn\"", {"a\"b.gen", "-D", "\"o.dgn\""}, false},
        PathCase{"backslash before a quote", "a\\\"b c.gen", "d\\\\\".dgn", {"a\\\"b c.gen", "-D", "d\\\\\".dgn"},
                 false},
        PathCase{"marker on the input", "with space.gen -+", "o.dgn", {"with space.gen", "-+", "-D", "o.dgn"}, true},
        PathCase{"marker on the design", "in.gen", "my out.dgn -+", {"in.gen", "-D", "my out.dgn", "-+"}, true},
        PathCase{"marker on both", "a b.gen -+", "c\"d.dgn -+", {"a b.gen", "-+", "-D", "c\"d.dgn", "-+"}, true},
        PathCase{"a blank before the marker stays in the path", "in.gen  -+", "o.dgn", {"in.gen ", "-+", "-D", "o.dgn"},
                 true}),
    [](const auto& info) {
        std::string name;
        for (const char c : std::string(info.param.what)) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(ConverterCommand, PathsWithoutBlanksOrQuotesGiveTheArgumentsOfTheWholeLine) {
    OptionTable table;
    table.SetOption(Slot::Table, "-T", "roads");
    table.SetOption(Slot::PointSymbology, "-sp", "1 2  3");
    table.SetOption(Slot::CellLibrary, "-cl", "C:\\cells\\lib.cel");
    table.BlankOption(static_cast<Slot>(20));
    JobFields fields = files("C:\\data\\in.gen -+", "/w/out.dgn");
    fields.centrLevel = "5";  // slot 6 is "-C "
    fields.mslink = "1";
    fields.tableName = "roads";
    fields.curvesSelected = true;
    for (const char* design : {"/w/out.dgn", "/w/out.dgn -+", "out\\\\.dgn"}) {
        fields.dgnfile = design;
        const ConverterCommand command = compose(fields, table);
        EXPECT_EQ(splitCommandLine(command.commandLine), command.arguments) << command.commandLine;
    }
}

TEST(ConverterCommand, EachSlotIsSplitOnItsOwn) {
    OptionTable table;
    table.SetOption(Slot::Table, "-T", "a\"b");  // an unclosed quote in the table name
    table.SetOption(Slot::PointSymbology, "-sp", "1 2 3");
    JobFields fields = files("in.gen", "out.dgn");
    fields.centrLevel = "5";
    const Args args = compose(fields, table).arguments;
    const Args options(args.begin() + 7, args.end());
    // "-C " arrives as "-C", runs of blanks leave no empty argument, and the quote opens and
    // closes within its own slot: "-sp" and its values are still arguments of their own.
    EXPECT_EQ((Args{"-S", "A", "-C", "5", "-T", "ab", "-O", "P", "-sp", "1", "2", "3"}), options);
    // Split at once, the whole line would let that quote swallow every later slot.
    const Args whole = splitCommandLine(compose(fields, table).commandLine);
    EXPECT_EQ(0, std::count(whole.begin(), whole.end(), "-sp"));
}

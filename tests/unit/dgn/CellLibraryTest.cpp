// Reading a cell library: the cell asked for with exactly its own components (a deleted
// definition between cells ends the one before it), every name when the cell is missing, and
// files that are no usable library.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "dgn/CellLibrary.h"
#include "dgn/Elements.h"
#include "dgn/SampleLibrary.h"

using namespace dgn;

namespace {

std::string written(const Bytes& bytes) {
    char path[] = "/tmp/mapfeed-cell-library-XXXXXX";
    const int fd = ::mkstemp(path);
    (void)!::write(fd, bytes.data(), bytes.size());
    ::close(fd);
    return path;
}

// A definition named name with count one-line components.
void cell(Bytes& out, const char* name, int count, bool deleted = false) {
    const std::size_t at = out.size();
    LibraryCellHeader header;
    header.name = name;
    encodeLibraryCellHeader(out, ElementCore{}, header);
    if (deleted) out[at + 1] |= 0x80;
    for (int i = 0; i < count; ++i) encodeLine(out, ElementCore{1, true, {0, 0, i, 1}}, {0, 0}, {i, 1});
}

struct Case {
    const char* wanted;
    std::size_t components;  // of the cell found; 0: not found
    std::vector<std::string> names;
};

}  // namespace

TEST(CellLibrary, FindsTheCellWithItsOwnComponents) {
    Bytes library = encodeLibraryHeader();
    cell(library, "ONE", 2);
    cell(library, "GONE", 3, true);
    cell(library, "TWO", 1);
    library.insert(library.end(), {0xFF, 0xFF});
    const std::string path = written(library);
    const Case cases[] = {
        {"one", 2, {"ONE"}},
        {"TWO", 1, {"ONE", "TWO"}},
        {"GONE", 0, {"ONE", "TWO"}},
        {"three", 0, {"ONE", "TWO"}},
    };
    for (const Case& c : cases) {
        const CellLibraryRead read = readCellLibrary(path, std::string(c.wanted));
        EXPECT_EQ("", read.problem) << c.wanted;
        EXPECT_EQ(c.names, read.names) << c.wanted;
        EXPECT_EQ(c.components, read.cell ? read.cell->count : 0) << c.wanted;
    }
    const auto one = readCellLibrary(path, std::string("ONE")).cell;
    ASSERT_TRUE(one);
    EXPECT_EQ((Range{0, 0, 1, 1}), one->range);
    ::unlink(path.c_str());
}

TEST(CellLibrary, RefusesWhatIsNoUsableLibrary) {
    Bytes threeD = sampleCellLibrary();
    threeD[0] |= 0x40;
    Bytes design = sampleCellLibrary();
    design[1] = 9;
    const std::pair<Bytes, std::string> cases[] = {
        {threeD, "is a 3D cell library; this converter places 2D cells only"},
        {design, "is not a cell library (it does not start with a library header)"},
        {{}, "is not a cell library (it does not start with a library header)"},
    };
    for (const auto& [bytes, problem] : cases) {
        const std::string path = written(bytes);
        EXPECT_EQ(problem, readCellLibrary(path).problem);
        ::unlink(path.c_str());
    }
    EXPECT_EQ("is not a plain file", readCellLibrary("/tmp").problem);
    const std::string sample = written(sampleCellLibrary());
    EXPECT_EQ((std::vector<std::string>{"CIRCLE", "CROSS", "LABEL"}), readCellLibrary(sample).names);
    ::unlink(sample.c_str());
}

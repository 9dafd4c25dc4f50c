// The walk over a file: unknown types stepped over by their length, the end marker, and files
// cut short.
#include <gtest/gtest.h>

#include <stdio.h>
#include <unistd.h>

#include "TestBytes.h"
#include "dgn/ElementReader.h"

using namespace dgn;

namespace {

struct Walked {
    std::vector<std::pair<ElementReader::Step, std::uint64_t>> steps;
    std::vector<int> types;
};

Walked walk(const Bytes& bytes) {
    FILE* file = tmpfile();
    fwrite(bytes.data(), 1, bytes.size(), file);
    fflush(file);
    ElementReader reader(fileno(file), bytes.size());
    Walked w;
    for (;;) {
        const auto step = reader.next();
        w.steps.emplace_back(step, reader.offset());
        if (step != ElementReader::Step::Element) break;
        w.types.push_back(reader.element().type());
    }
    fclose(file);
    return w;
}

// An element of a type this library does not know (level 1, type 33, one word following).
const char* kUnknown = "01 21 01 00 aa bb";
const char* kLine =
    "81 03 18 00 00 80 84 03 00 80 6c 07 00 80 00 00 00 80 4c 04 00 80 34 08 00 80 00 00 00 00 0a 00 "
    "00 00 00 00 00 00 84 03 00 00 6c 07 00 00 4c 04 00 00 34 08";

}  // namespace

TEST(ElementReader, StepsOverUnknownTypesToTheEndMarker) {
    const auto w = walk(hexBytes(std::string(kUnknown) + " " + kLine + " ff ff 00 00"));
    EXPECT_EQ(w.types, (std::vector<int>{33, 3}));
    ASSERT_EQ(w.steps.size(), 3u);
    EXPECT_EQ(w.steps[2], std::make_pair(ElementReader::Step::EndMarker, std::uint64_t{58}));
}

TEST(ElementReader, EndsAtThePhysicalEndWithoutMarker) {
    const auto w = walk(hexBytes(kLine));
    EXPECT_EQ(w.steps.back(), std::make_pair(ElementReader::Step::EndOfFile, std::uint64_t{52}));
}

TEST(ElementReader, ReportsAnElementCutShort) {
    auto bytes = hexBytes(std::string(kUnknown) + " " + kLine);
    bytes.resize(bytes.size() - 4);
    EXPECT_EQ(walk(bytes).steps.back(), std::make_pair(ElementReader::Step::Damaged, std::uint64_t{6}));
    EXPECT_EQ(walk(hexBytes("01 21")).steps.back().first, ElementReader::Step::Damaged);
}

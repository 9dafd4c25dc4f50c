// The structural check finds each kind of fault in an otherwise sound file.
#include <gtest/gtest.h>

#include <fstream>

#include "dgn/Elements.h"
#include "dgn/HeaderBlock.h"
#include "dgn/StructureCheck.h"

using namespace dgn;

namespace {

Bytes chain(Range headerRange, std::size_t count, std::size_t extraWords) {
    ElementCore component;
    component.complex = true;
    component.range = {0, 0, 10, 10};
    const Point points[] = {{0, 0}, {10, 10}};
    Bytes components;
    encodeMultiPoint(components, ElementType::LineString, component, points);
    ElementCore core;
    core.range = headerRange;
    Bytes out;
    encodeComplexHeader(out, ElementType::ComplexChain, core, count, components.size() / 2 + extraWords);
    out.insert(out.end(), components.begin(), components.end());
    return out;
}

std::vector<std::string> check(const Bytes& elements, bool marker = true) {
    Bytes file = *encodeFixedHeader(DesignUnits{}, {});
    file.insert(file.end(), elements.begin(), elements.end());
    if (marker) file.insert(file.end(), {0xFF, 0xFF});
    const std::string path = testing::TempDir() + "structure-check.dgn";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    return checkStructure(path);
}

}  // namespace

TEST(StructureCheck, FindsEachFault) {
    EXPECT_TRUE(check(chain({0, 0, 10, 10}, 1, 0)).empty());
    struct Case { const char* fault; Bytes elements; bool marker; const char* found; };
    Bytes outside;
    encodeLine(outside, ElementCore{}, {5, 5}, {5, 5});  // its range is (0,0)-(0,0)
    const Case cases[] = {
        {"header range", chain({0, 0, 5, 5}, 1, 0), true, "outside the range of its complex header"},
        {"count", chain({0, 0, 10, 10}, 2, 0), true, "components missing"},
        {"length", chain({0, 0, 10, 10}, 1, 3), true, "words of its length are not its components'"},
        {"vertex", outside, true, "outside its range"},
        {"marker", chain({0, 0, 10, 10}, 1, 0), false, "no end marker"},
    };
    for (const Case& c : cases) {
        const auto problems = check(c.elements, c.marker);
        ASSERT_FALSE(problems.empty()) << c.fault;
        EXPECT_NE(problems[0].find(c.found), std::string::npos) << c.fault << ": " << problems[0];
    }
}

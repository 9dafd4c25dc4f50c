#include "dgn/SampleLibrary.h"

#include <cmath>
#include <vector>

#include "dgn/CellLibrary.h"
#include "dgn/Elements.h"

namespace dgn {
namespace {

// A definition and its components; the definition's word count is that of its components
// plus the 16 words after its own count field.
void addCell(Bytes& out, const char* name, const char* description, const Bytes& components, int level) {
    LibraryCellHeader header;
    header.name = name;
    header.description = description;
    header.wordsInDescription = static_cast<std::uint16_t>(16 + components.size() / 2);
    header.levels[(level - 1) / 16] = static_cast<std::uint16_t>(1u << ((level - 1) % 16));
    ElementCore core;
    core.level = level;
    encodeLibraryCellHeader(out, core, header);
    out.insert(out.end(), components.begin(), components.end());
}

}  // namespace

Bytes sampleCellLibrary() {
    Bytes out = encodeLibraryHeader();

    Bytes circle;
    std::vector<Point> ring;
    for (int i = 0; i <= 24; ++i) {
        const double a = 2 * 3.14159265358979 * (i % 24) / 24;
        ring.push_back({static_cast<std::int32_t>(std::lround(500 * std::cos(a))), static_cast<std::int32_t>(std::lround(500 * std::sin(a)))});
    }
    ElementCore c{3, true, {-500, -500, 500, 500}, 0, 0, {0, 0, 2}};
    encodeMultiPoint(circle, ElementType::Shape, c, ring);
    addCell(out, "CIRCLE", "A CIRCLE", circle, 3);

    Bytes cross;
    ElementCore h{4, true, {-500, 0, 500, 0}, 0, 0, {0, 1, 3}};
    encodeLine(cross, h, {-500, 0}, {500, 0});
    ElementCore v{4, true, {0, -500, 0, 500}, 0, 0, {0, 1, 3}};
    encodeLine(cross, v, {0, -500}, {0, 500});
    addCell(out, "CROSS", "TWO LINES", cross, 4);

    Bytes label;
    Text text;
    text.characters = "X";
    text.lengthMultiplier = text.heightMultiplier = 200 * 1000 / 6;
    text.origin = {-100, -100};
    ElementCore t{5, true, {-100, -100, 100, 100}, 0, 0, {0, 0, 4}};
    encodeText(label, t, text);
    addCell(out, "LABEL", "A TEXT", label, 5);

    out.push_back(0xFF);
    out.push_back(0xFF);
    return out;
}

}  // namespace dgn

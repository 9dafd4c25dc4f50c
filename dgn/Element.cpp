#include "dgn/Element.h"

#include <stdexcept>

namespace dgn {

bool hasDisplayHeader(std::uint8_t type) {
    switch (type) {
    case 0: case 1: case 8: case 9: case 10: case 32: case 44: case 48: case 49: case 50:
    case 51: case 57: case 60: case 61: case 62: case 63:
        return false;
    default:
        return true;
    }
}

std::size_t beginElement(Bytes& out, ElementType type, const ElementCore& core) {
    const std::size_t start = out.size();
    const auto t = static_cast<std::uint8_t>(type);
    const std::size_t length = hasDisplayHeader(t) ? kDisplayHeaderBytes : kHeaderBytes;
    out.resize(start + length, 0);
    std::uint8_t* p = out.data() + start;
    p[0] = static_cast<std::uint8_t>((core.level & 0x3F) | (core.complex ? 0x80 : 0));
    p[1] = t;
    const std::int32_t range[6] = {core.range.xLow, core.range.yLow, 0, core.range.xHigh, core.range.yHigh, 0};
    for (int i = 0; i < 6; ++i) setRangeLong(p + 4 + 4 * i, range[i]);
    if (length == kDisplayHeaderBytes) {
        setWord(p + 28, core.graphicGroup);
        setWord(p + 32, core.properties);
        p[34] = static_cast<std::uint8_t>((core.symbology.style & 0x07) | (core.symbology.weight << 3));
        p[35] = core.symbology.color;
    }
    return start;
}

void finishElement(Bytes& out, std::size_t start, std::span<const std::uint8_t> linkage) {
    if ((out.size() - start) % 2) out.push_back(0);
    const std::size_t core = out.size() - start;
    if (hasDisplayHeader(out[start + 1])) {
        setWord(out.data() + start + 30, static_cast<std::uint16_t>((core - 32) / 2));
        if (!linkage.empty()) {
            const std::uint16_t properties = getWord(out.data() + start + 32) | kPropertyAttributes;
            setWord(out.data() + start + 32, properties);
        }
    }
    out.insert(out.end(), linkage.begin(), linkage.end());
    if (out.size() % 2) out.push_back(0);
    const std::size_t words = (out.size() - start) / 2 - 2;
    if (words > kMaxWordsToFollow) throw std::length_error("element longer than its length word holds");
    setWord(out.data() + start + 2, static_cast<std::uint16_t>(words));
}

Range ElementView::range() const {
    return {getRangeLong(data_ + 4), getRangeLong(data_ + 8), getRangeLong(data_ + 16), getRangeLong(data_ + 20)};
}

Symbology ElementView::symbology() const {
    return {static_cast<std::uint8_t>(data_[34] & 0x07), static_cast<std::uint8_t>(data_[34] >> 3), data_[35]};
}

std::span<const std::uint8_t> ElementView::linkage() const {
    if (!hasDisplay() || !(properties() & kPropertyAttributes)) return {};
    const std::size_t at = 32 + 2 * std::size_t{attributeIndex()};
    if (at >= size_) return {};
    return {data_ + at, size_ - at};
}

}  // namespace dgn

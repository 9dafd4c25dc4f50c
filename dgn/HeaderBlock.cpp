#include "dgn/HeaderBlock.h"

#include <algorithm>
#include <cstring>

#include "dgn/VaxDouble.h"

namespace dgn {
namespace {

// Where the header block keeps what this program reads and writes.
constexpr std::size_t kViews = 46, kViewBytes = 118;
constexpr std::size_t kSubunitsPerMaster = 1112, kUorsPerSubunit = 1116, kMasterName = 1120, kSubName = 1122;
constexpr std::size_t kOrigin = 1240, kDimensionFlags = 1214;
// Factors a 2D file keeps at one: the active scale (x, y, z) at 1140 and three more before it.
constexpr std::size_t kUnitFactors[] = {1048, 1056, 1088, 1140, 1148, 1156};

void putVax(std::uint8_t* p, double v) {
    const auto bytes = toVax(v);
    std::memcpy(p, bytes ? bytes->data() : VaxBytes{}.data(), 8);
}

void putName(std::uint8_t* p, const std::string& name) {
    p[0] = name.size() > 0 ? static_cast<std::uint8_t>(name[0]) : ' ';
    p[1] = name.size() > 1 ? static_cast<std::uint8_t>(name[1]) : ' ';
}

std::string name(const std::uint8_t* p) {
    std::string s(reinterpret_cast<const char*>(p), 2);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
    return s;
}

// One view: on, every level shown, looking at viewed with a margin, no rotation.
void putView(std::uint8_t* v, int index, const Range& viewed) {
    setWord(v, index == 0 ? 0xB09C : 0xB01C);
    std::memset(v + 2, 0xFF, 8);
    const double width = std::max<double>(1000.0, double(viewed.xHigh) - viewed.xLow);
    const double height = std::max<double>(1000.0, double(viewed.yHigh) - viewed.yLow);
    const double margin = 0.05;
    const auto clamp = [](double d) { return static_cast<std::int32_t>(std::clamp(d, -2147483647.0, 2147483647.0)); };
    setLong(v + 10, clamp(viewed.xLow - margin * width));
    setLong(v + 14, clamp(viewed.yLow - margin * height));
    setLong(v + 22, clamp(width * (1 + 2 * margin)));
    setLong(v + 26, clamp(height * (1 + 2 * margin)));
    for (int i = 0; i < 9; ++i) putVax(v + 34 + 8 * i, i == 0 || i == 3 ? 1.0 : 0.0);  // 2D: a 2x2 matrix first
    putVax(v + 106, 1280.0 / (width * (1 + 2 * margin)));  // UORs to screen pixels
}

}  // namespace

std::optional<Bytes> encodeFixedHeader(const DesignUnits& units, const Range& viewed) {
    const auto ox = toVax(units.originX), oy = toVax(units.originY), oz = toVax(units.originZ);
    if (!ox || !oy || !oz) return std::nullopt;
    Bytes out(kFixedHeaderBytes, 0);
    std::uint8_t* tcb = out.data();
    tcb[0] = 0x08;
    tcb[1] = static_cast<std::uint8_t>(ElementType::HeaderBlock);
    setWord(tcb + 2, kHeaderBlockBytes / 2 - 2);
    for (int view = 0; view < 8; ++view) putView(tcb + kViews + kViewBytes * view, view, viewed);
    setLong(tcb + kSubunitsPerMaster, units.subunitsPerMaster);
    setLong(tcb + kUorsPerSubunit, units.uorsPerSubunit);
    putName(tcb + kMasterName, units.masterName);
    putName(tcb + kSubName, units.subName);
    for (std::size_t at : kUnitFactors) putVax(tcb + at, 1.0);
    std::memcpy(tcb + kOrigin, ox->data(), 8);
    std::memcpy(tcb + kOrigin + 8, oy->data(), 8);
    std::memcpy(tcb + kOrigin + 16, oz->data(), 8);

    std::uint8_t* digitizer = tcb + kHeaderBlockBytes;
    digitizer[1] = static_cast<std::uint8_t>(ElementType::DigitizerSetup);
    setWord(digitizer + 2, 356 / 2 - 2);
    std::uint8_t* levels = digitizer + 356;
    levels[1] = static_cast<std::uint8_t>(ElementType::LevelSymbology);
    setWord(levels + 2, 156 / 2 - 2);
    return out;
}

HeaderBlockRead decodeHeaderBlock(const std::uint8_t* bytes, std::size_t size) {
    HeaderBlockRead read;
    if (size < kHeaderBlockBytes || (bytes[0] != 0x08 && bytes[0] != 0xC8) ||
        bytes[1] != static_cast<std::uint8_t>(ElementType::HeaderBlock) || getWord(bytes + 2) != kHeaderBlockBytes / 2 - 2) {
        read.problem = "is not a version 7 design file (no header block at its start)";
        return read;
    }
    DesignUnits u;
    u.threeD = bytes[0] == 0xC8 || (bytes[kDimensionFlags] & 0x40);
    u.subunitsPerMaster = getLong(bytes + kSubunitsPerMaster);
    u.uorsPerSubunit = getLong(bytes + kUorsPerSubunit);
    u.masterName = name(bytes + kMasterName);
    u.subName = name(bytes + kSubName);
    u.originX = fromVax(bytes + kOrigin);
    u.originY = fromVax(bytes + kOrigin + 8);
    u.originZ = fromVax(bytes + kOrigin + 16);
    read.units = u;
    return read;
}

}  // namespace dgn

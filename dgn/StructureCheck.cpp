#include "dgn/StructureCheck.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "dgn/ElementReader.h"
#include "dgn/Elements.h"
#include "dgn/HeaderBlock.h"

namespace dgn {
namespace {

constexpr std::size_t kByLength = std::size_t(-1);  // a cell: components until its length is used up

struct Open {
    std::size_t remaining = 0;     ///< components still to come, or kByLength
    std::size_t words = 0;         ///< their words still to come
    Range range{};
    std::uint64_t offset = 0;
    bool checksRange = false;
};

bool isComplexParent(std::uint8_t type) {
    return type == 12 || type == 14 || type == 7 || type == 2;
}

}  // namespace

std::vector<std::string> checkStructure(const std::string& path) {
    std::vector<std::string> problems;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {path + ": " + std::strerror(errno)};
    struct stat st {};
    ::fstat(fd, &st);
    const auto at = [](std::uint64_t offset) { return "element at byte " + std::to_string(offset) + ": "; };
    ElementReader reader(fd, static_cast<std::uint64_t>(st.st_size));
    bool first = true, ended = false;
    Open open;
    for (bool walking = true; walking;) {
        const auto step = reader.next();
        if (step != ElementReader::Step::Element) {
            if (step == ElementReader::Step::EndMarker) ended = true;
            else if (step != ElementReader::Step::EndOfFile) problems.push_back(reader.problem());
            walking = false;
            break;
        }
        const ElementView e = reader.element();
        const std::uint64_t offset = reader.offset();
        if (first) {
            const auto header = decodeHeaderBlock(e.data(), e.size());
            if (!header.units) problems.push_back(header.problem);
            else if (header.units->threeD) problems.push_back("a 3D header block");
            first = false;
            continue;
        }
        if (open.remaining > 0) {
            if (!e.complex()) problems.push_back(at(offset) + "a component without the complex bit");
            if (e.size() / 2 > open.words) problems.push_back(at(offset) + "longer than its complex header says");
            open.words -= std::min(open.words, e.size() / 2);
            if (open.checksRange && e.hasRange() && !open.range.encloses(e.range()))
                problems.push_back(at(offset) + "outside the range of its complex header at byte " + std::to_string(open.offset));
            if (open.remaining == kByLength) {
                if (open.words == 0) open.remaining = 0;
            } else if (--open.remaining == 0 && open.words != 0) {
                problems.push_back("complex element at byte " + std::to_string(open.offset) + ": " +
                                   std::to_string(open.words) + " words of its length are not its components'");
            }
        } else if (e.complex() && e.type() != 1) {
            problems.push_back(at(offset) + "the complex bit without a complex header before it");
        }
        if (e.hasDisplay() && (e.properties() & kPropertyAttributes) && 32 + 2 * std::size_t{e.attributeIndex()} >= e.size())
            problems.push_back(at(offset) + "its attribute index points past its end");
        std::optional<std::vector<Point>> points;
        switch (static_cast<ElementType>(e.type())) {
        case ElementType::Line: points = decodeLine(e); break;
        case ElementType::LineString:
        case ElementType::Shape:
        case ElementType::Curve:
            points = decodeMultiPoint(e);
            if (!points) problems.push_back(at(offset) + "its vertices run past its end");
            else if (points->size() > kMaxVertices) problems.push_back(at(offset) + "more vertices than an element holds");
            break;
        case ElementType::Text:
            if (const auto t = decodeText(e)) points = std::vector<Point>{t->origin};
            else problems.push_back(at(offset) + "its characters run past its end");
            break;
        default: break;
        }
        if (points)
            for (const Point& p : *points)
                if (!e.range().encloses(Range::at(p))) {
                    problems.push_back(at(offset) + "a vertex (" + std::to_string(p.x) + ", " + std::to_string(p.y) +
                                       ") outside its range");
                    break;
                }
        if (isComplexParent(e.type()) && e.size() >= 40 && open.remaining == 0) {
            const std::size_t total = getWord(e.data() + 36);
            const std::size_t own = (e.size() - 38) / 2;
            if (total < own) {
                problems.push_back(at(offset) + "its total length is shorter than itself");
                continue;
            }
            const std::size_t count = e.type() == 2 ? kByLength : getWord(e.data() + 38);
            open = Open{total == own ? 0 : count, total - own, e.range(), offset, true};
            if (open.remaining == 0 && open.words != 0)
                problems.push_back(at(offset) + "a length for components, but none counted");
        }
    }
    ::close(fd);
    if (open.remaining > 0)
        problems.push_back("complex element at byte " + std::to_string(open.offset) + ": components missing");
    if (!ended) problems.push_back("no end marker");
    return problems;
}

}  // namespace dgn

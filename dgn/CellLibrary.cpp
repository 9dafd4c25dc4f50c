#include "dgn/CellLibrary.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "dgn/ElementReader.h"

namespace dgn {
namespace {

constexpr std::uint8_t kLibraryHeaderType = 5;
constexpr int kLibraryHeaderLevel = 8;
constexpr std::uint8_t kThreeD = 0x40;  // the dimension bit of a header's first byte

std::string upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

Bytes encodeLibraryHeader() {
    Bytes out(50, 0);
    out[0] = kLibraryHeaderLevel;
    out[1] = kLibraryHeaderType;
    setWord(out.data() + 2, 23);
    return out;
}

CellLibraryRead readCellLibrary(const std::string& path, const std::optional<std::string>& wanted) {
    CellLibraryRead result;
    Descriptor file;
    file.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st {};
    if (file.fd < 0 || ::fstat(file.fd, &st) != 0) {
        result.problem = std::string("cannot be opened: ") + std::strerror(errno);
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.problem = "is not a plain file";
        return result;
    }
    std::uint8_t start[2] = {};
    if (::pread(file.fd, start, 2, 0) != 2 || (start[1] & 0x7F) != kLibraryHeaderType || (start[0] & 0x3F) != kLibraryHeaderLevel) {
        result.problem = "is not a cell library (it does not start with a library header)";
        return result;
    }
    if (start[0] & kThreeD) {
        result.problem = "is a 3D cell library; this converter places 2D cells only";
        return result;
    }
    const std::string name = wanted ? upper(*wanted) : std::string();
    ElementReader reader(file.fd, static_cast<std::uint64_t>(st.st_size));
    bool first = true;
    LibraryCell* current = nullptr;  // the wanted cell while its components arrive
    LibraryCell found;
    for (;;) {
        const ElementReader::Step step = reader.next();
        if (step == ElementReader::Step::Damaged || step == ElementReader::Step::ReadError) {
            result.problem = reader.problem();
            return result;
        }
        if (step != ElementReader::Step::Element) break;
        const ElementView e = reader.element();
        if (first) {  // the library header, checked above
            first = false;
            continue;
        }
        // The wanted cell's components are the complex elements right after its definition:
        // the next element that is none (a definition, deleted or not) ends it.
        if (current && !e.complex()) break;
        if (e.deleted()) continue;
        if (e.type() == static_cast<std::uint8_t>(ElementType::LibraryCellHeader) && !e.complex()) {
            const auto header = decodeLibraryCellHeader(e);
            if (!header) {
                result.problem = "is damaged: the cell definition at byte " + std::to_string(reader.offset()) + " is cut short";
                return result;
            }
            result.names.push_back(header->name);
            if (wanted && header->name == name) {
                found.header = *header;
                found.level = e.level();
                current = &found;
            }
            continue;
        }
        if (!current) continue;
        if (!e.hasRange()) {
            result.problem = "is damaged: the element at byte " + std::to_string(reader.offset()) + " is too short";
            return result;
        }
        if (current->count == 0) current->range = e.range();
        else current->range.include(e.range());
        current->components.insert(current->components.end(), e.data(), e.data() + e.size());
        ++current->count;
    }
    if (current) result.cell = std::move(found);
    return result;
}

}  // namespace dgn

#include "dgn/ElementReader.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace dgn {
namespace {
constexpr std::uint64_t kWindowBytes = 8 << 20;
}

ElementReader::ElementReader(int fd, std::uint64_t size) : fd_(fd), size_(size) {}

ElementReader::~ElementReader() {
    if (window_) ::munmap(const_cast<std::uint8_t*>(window_), windowLength_);
}

// Maps a window holding bytes [from, from + bytes).
bool ElementReader::ensure(std::uint64_t from, std::size_t bytes) {
    if (window_ && from >= windowStart_ && from + bytes <= windowStart_ + windowLength_) return true;
    if (window_) ::munmap(const_cast<std::uint8_t*>(window_), windowLength_);
    window_ = nullptr;
    static const std::uint64_t page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
    const std::uint64_t start = from / page * page;
    const std::uint64_t length = std::min(std::max<std::uint64_t>(kWindowBytes, from - start + bytes), size_ - start);
    void* mapped = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, fd_, static_cast<off_t>(start));
    if (mapped == MAP_FAILED) {
        problem_ = std::string("could not be read: ") + std::strerror(errno);
        return false;
    }
    ::madvise(mapped, length, MADV_SEQUENTIAL);
    window_ = static_cast<const std::uint8_t*>(mapped);
    windowStart_ = start;
    windowLength_ = length;
    return true;
}

ElementReader::Step ElementReader::next() {
    if (started_) offset_ += length_;
    started_ = true;
    length_ = 0;
    if (offset_ >= size_) return Step::EndOfFile;
    // Most elements lie whole inside the mapped window: read them straight from it.
    if (window_ && offset_ >= windowStart_ && offset_ + 4 <= windowStart_ + windowLength_) {
        const std::uint8_t* p = window_ + (offset_ - windowStart_);
        if (p[0] == 0xFF && p[1] == 0xFF) return Step::EndMarker;
        const std::size_t length = 4 + 2 * std::size_t{getWord(p + 2)};
        if (offset_ + length <= windowStart_ + windowLength_) {
            length_ = length;
            return Step::Element;
        }
    }
    if (offset_ + 2 <= size_) {
        if (!ensure(offset_, 2)) return Step::ReadError;
        if (getWord(window_ + (offset_ - windowStart_)) == 0xFFFF) return Step::EndMarker;
    }
    if (offset_ + 4 > size_) {
        problem_ = "ends inside an element at byte " + std::to_string(offset_);
        return Step::Damaged;
    }
    if (!ensure(offset_, 4)) return Step::ReadError;
    const std::size_t length = 4 + 2 * std::size_t{getWord(window_ + (offset_ - windowStart_) + 2)};
    if (offset_ + length > size_) {
        problem_ = "is damaged: the element at byte " + std::to_string(offset_) + " runs past its end";
        return Step::Damaged;
    }
    if (!ensure(offset_, length)) return Step::ReadError;
    length_ = length;
    return Step::Element;
}

}  // namespace dgn

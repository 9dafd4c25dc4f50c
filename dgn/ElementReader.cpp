#include "dgn/ElementReader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace dgn {
namespace {
// Small enough to stay in the second-level cache, large enough that the calls cost little
// (about 1,500 for 100 MB).
constexpr std::size_t kBufferBytes = 64 << 10;
}

ElementReader::ElementReader(int fd, std::uint64_t size) : fd_(fd), size_(size), buffer_(kBufferBytes) {}

// Makes the buffer hold bytes [from, from + bytes), which lie inside the file's size.
bool ElementReader::ensure(std::uint64_t from, std::size_t bytes) {
    if (from >= bufferStart_ && from + bytes <= bufferStart_ + buffered_) return true;
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(std::max(kBufferBytes, bytes), size_ - from));
    if (buffer_.size() < want) buffer_.resize(want);
    std::size_t got = 0;
    while (got < want) {
        const ssize_t n = ::pread(fd_, buffer_.data() + got, want - got, static_cast<off_t>(from + got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            problem_ = std::string("could not be read: ") + std::strerror(errno);
            buffered_ = 0;
            return false;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    bufferStart_ = from;
    buffered_ = got;
    if (got < bytes) {
        problem_ = "became shorter while it was read (at byte " + std::to_string(from + got) + ")";
        return false;
    }
    return true;
}

ElementReader::Step ElementReader::next() {
    if (started_) offset_ += length_;
    started_ = true;
    length_ = 0;
    if (offset_ >= size_) return Step::EndOfFile;
    if (offset_ + 2 <= size_) {
        if (!ensure(offset_, std::min<std::uint64_t>(4, size_ - offset_))) return Step::ReadError;
        if (getWord(buffer_.data() + (offset_ - bufferStart_)) == 0xFFFF) return Step::EndMarker;
    }
    if (offset_ + 4 > size_) {
        problem_ = "ends inside an element at byte " + std::to_string(offset_);
        return Step::Damaged;
    }
    if (!ensure(offset_, 4)) return Step::ReadError;
    const std::size_t length = 4 + 2 * std::size_t{getWord(buffer_.data() + (offset_ - bufferStart_) + 2)};
    if (offset_ + length > size_) {
        problem_ = "is damaged: the element at byte " + std::to_string(offset_) + " runs past its end";
        return Step::Damaged;
    }
    if (!ensure(offset_, length)) return Step::ReadError;
    length_ = length;
    return Step::Element;
}

}  // namespace dgn

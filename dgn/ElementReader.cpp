#include "dgn/ElementReader.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace dgn {
namespace {
constexpr std::size_t kBufferBytes = 1 << 20;
}

ElementReader::ElementReader(int fd, std::uint64_t size) : fd_(fd), size_(size) {}

// Makes bytes [from, from + bytes) available in the buffer.
bool ElementReader::ensure(std::uint64_t from, std::size_t bytes) {
    if (from >= bufferStart_ && from + bytes <= bufferStart_ + buffer_.size()) return true;
    const std::size_t want = std::max(bytes, kBufferBytes);
    const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(want, size_ - from));
    buffer_.resize(length);
    std::size_t got = 0;
    while (got < length) {
        const ssize_t n = ::pread(fd_, buffer_.data() + got, length - got, static_cast<off_t>(from + got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            problem_ = n < 0 ? std::string("could not be read: ") + std::strerror(errno) : "became shorter while it was read";
            buffer_.clear();
            return false;
        }
        got += static_cast<std::size_t>(n);
    }
    bufferStart_ = from;
    return length >= bytes;
}

ElementReader::Step ElementReader::next() {
    if (started_) offset_ += length_;
    started_ = true;
    length_ = 0;
    if (offset_ >= size_) return Step::EndOfFile;
    if (offset_ + 2 <= size_) {
        if (!ensure(offset_, 2)) return problem_.empty() ? Step::Damaged : Step::ReadError;
        if (getWord(buffer_.data() + (offset_ - bufferStart_)) == 0xFFFF) return Step::EndMarker;
    }
    if (offset_ + 4 > size_) {
        problem_ = "ends inside an element at byte " + std::to_string(offset_);
        return Step::Damaged;
    }
    if (!ensure(offset_, 4)) return problem_.empty() ? Step::Damaged : Step::ReadError;
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

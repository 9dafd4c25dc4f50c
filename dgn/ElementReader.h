#pragma once
// Walks a version 7 file element by element from an open file descriptor, reading it with
// pread into a small buffer: whatever an element's type, its length word says where the next
// one starts, so types this library does not know are stepped over. The buffer stays in the
// processor's cache, which makes the walk cheaper than faulting the file's pages into a
// mapping, and a file cut shorter by another program meanwhile reads short instead of raising
// SIGBUS. The walk ends at the end marker (the word 0xFFFF), at the physical end of the file,
// or at damage.
#include <cstdint>
#include <string>

#include "dgn/Bytes.h"
#include "dgn/Element.h"

namespace dgn {

class ElementReader {
public:
    enum class Step { Element, EndMarker, EndOfFile, Damaged, ReadError };

    /// Reads fd (not owned) from offset 0; size is the file's length.
    ElementReader(int fd, std::uint64_t size);

    /// Moves to the next element and says what was found there.
    Step next();
    /// The element found by the last next() that returned Element; valid until the next call.
    ElementView element() const { return {buffer_.data() + (offset_ - bufferStart_), length_}; }
    /// Where the last element, end marker or damage was found.
    std::uint64_t offset() const { return offset_; }
    /// After Damaged or ReadError: what is wrong, worded to follow "the design file".
    const std::string& problem() const { return problem_; }

private:
    bool ensure(std::uint64_t from, std::size_t bytes);

    int fd_;
    std::uint64_t size_;
    Bytes buffer_;
    std::uint64_t bufferStart_ = 0;
    std::size_t buffered_ = 0;        ///< bytes of buffer_ read from bufferStart_
    std::uint64_t offset_ = 0;
    std::size_t length_ = 0;
    bool started_ = false;
    std::string problem_;
};

}  // namespace dgn

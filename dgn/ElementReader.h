#pragma once
// Walks a version 7 file element by element from an open file descriptor through a mapped
// window of bounded size: whatever an element's type, its length word says where the next one
// starts, so types this library does not know are stepped over, and only the pages holding
// element starts are touched. The walk ends at the end marker (the word 0xFFFF), at the
// physical end of the file, or at damage. A file cut shorter by another program during the
// walk raises SIGBUS, as any mapping does; callers that share files handle it.
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
    ~ElementReader();
    ElementReader(const ElementReader&) = delete;
    ElementReader& operator=(const ElementReader&) = delete;

    /// Moves to the next element and says what was found there.
    Step next();
    /// The element found by the last next() that returned Element.
    ElementView element() const { return {window_ + (offset_ - windowStart_), length_}; }
    /// Where the last element, end marker or damage was found.
    std::uint64_t offset() const { return offset_; }
    /// After Damaged or ReadError: what is wrong, worded to follow "the design file".
    const std::string& problem() const { return problem_; }

private:
    bool ensure(std::uint64_t from, std::size_t bytes);

    int fd_;
    std::uint64_t size_;
    const std::uint8_t* window_ = nullptr;
    std::uint64_t windowStart_ = 0;
    std::size_t windowLength_ = 0;
    std::uint64_t offset_ = 0;
    std::size_t length_ = 0;
    bool started_ = false;
    std::string problem_;
};

}  // namespace dgn

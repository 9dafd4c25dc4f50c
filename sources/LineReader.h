#pragma once
// An input file's lines, read through a fixed buffer: each line without its line end, a
// byte-order mark at the start of the file dropped.
#include <functional>
#include <string>
#include <string_view>

namespace sources {

class LineReader {
public:
    /// Opens path; throws InputError naming it when it cannot be read.
    explicit LineReader(const std::string& path);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    /// The next line, or false at the end of the file; the view lasts until the next call.
    bool next(std::string_view& line);
    /// The number of the line last returned (from 1).
    long number() const { return number_; }
    /// Called before each read from the file (the converter checks for signals there).
    std::function<void()> beforeRead;

private:
    bool fill();

    std::string path_;
    int fd_ = -1;
    std::string buffer_;
    std::size_t start_ = 0;  ///< where the unread part of the buffer begins
    bool atEnd_ = false;
    bool first_ = true;
    long number_ = 0;
};

}  // namespace sources

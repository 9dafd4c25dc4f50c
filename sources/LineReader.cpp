#include "sources/LineReader.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "sources/Feature.h"

namespace sources {
namespace {
constexpr std::size_t kReadBytes = 1 << 20;
// No line of either format comes near this; a longer one is no text of theirs, and is not
// gathered in memory.
constexpr std::size_t kMaxLineBytes = 4 << 20;
}

LineReader::LineReader(const std::string& path) : path_(path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) throw InputError("cannot read the input file " + path + ": " + std::strerror(errno));
}

LineReader::~LineReader() {
    if (fd_ >= 0) ::close(fd_);
}

bool LineReader::fill() {
    if (atEnd_) return false;
    if (beforeRead) beforeRead();
    buffer_.erase(0, start_);
    start_ = 0;
    const std::size_t had = buffer_.size();
    buffer_.resize(had + kReadBytes);
    ssize_t n;
    do n = ::read(fd_, buffer_.data() + had, kReadBytes);
    while (n < 0 && errno == EINTR);
    if (n < 0) throw InputError("cannot read the input file " + path_ + ": " + std::strerror(errno));
    buffer_.resize(had + static_cast<std::size_t>(n));
    if (n == 0) atEnd_ = true;
    if (first_ && buffer_.size() >= 3) {
        if (buffer_.compare(0, 3, "\xEF\xBB\xBF") == 0) buffer_.erase(0, 3);
        first_ = false;
    }
    return n > 0;
}

bool LineReader::next(std::string_view& line) {
    for (;;) {
        const std::size_t end = buffer_.find('\n', start_);
        if (end != std::string::npos) {
            line = std::string_view(buffer_).substr(start_, end - start_);
            start_ = end + 1;
            break;
        }
        if (buffer_.size() - start_ > kMaxLineBytes)
            throw InputError(path_ + " line " + std::to_string(number_ + 1) + ": longer than " +
                             std::to_string(kMaxLineBytes >> 20) + " MB; this is no generate or X,Y text");
        if (!fill()) {
            if (start_ >= buffer_.size()) return false;
            line = std::string_view(buffer_).substr(start_);
            start_ = buffer_.size();
            break;
        }
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++number_;
    return true;
}

}  // namespace sources

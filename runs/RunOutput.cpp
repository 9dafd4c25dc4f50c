#include "runs/RunOutput.h"

#include <algorithm>

namespace mapfeed {

namespace {

// A reason shown in a list is one short line; the whole line stays in the output.
constexpr std::size_t kReasonBytes = 300;

std::string cutNote(std::uint64_t cut) {
    return " [... " + std::to_string(cut) + " more bytes of this line not kept]";
}

}  // namespace

void RunOutput::append(std::string_view bytes) {
    std::lock_guard lock(mutex_);
    for (std::size_t at = 0; at < bytes.size();) {
        const char c = bytes[at];
        if (afterCarriageReturn_ && c == '\n') {
            afterCarriageReturn_ = false;
            ++at;
            continue;
        }
        afterCarriageReturn_ = false;
        if (c == '\n' || c == '\r') {
            afterCarriageReturn_ = c == '\r';
            endLine();
            ++at;
            continue;
        }
        // The rest of this line, in one piece.
        const std::size_t end = std::min(bytes.find_first_of("\r\n", at), bytes.size());
        const std::size_t room = caps_.lineBytes > partial_.size() ? caps_.lineBytes - partial_.size() : 0;
        const std::size_t taken = std::min(room, end - at);
        partial_.append(bytes.substr(at, taken));
        partialCut_ += end - at - taken;
        at = end;
    }
    version_.fetch_add(1, std::memory_order_acq_rel);
}

void RunOutput::finish() {
    std::lock_guard lock(mutex_);
    if (!partial_.empty() || partialCut_ > 0) endLine();
    version_.fetch_add(1, std::memory_order_acq_rel);
}

void RunOutput::drop() {
    std::lock_guard lock(mutex_);
    firstLine_ += lines_.size();
    droppedBytes_ += bytes_;
    lines_.clear();
    bytes_ = 0;
    version_.fetch_add(1, std::memory_order_acq_rel);
}

void RunOutput::endLine() {
    std::string line = std::move(partial_);
    partial_.clear();
    if (partialCut_ > 0) line += cutNote(partialCut_);
    partialCut_ = 0;
    keep(std::move(line));
}

void RunOutput::keep(std::string line) {
    if (!line.empty()) {
        lastLine_ = line.substr(0, kReasonBytes);
        if (line.starts_with(kMessagePrefix)) lastMessage_ = lastLine_;
    }
    bytes_ += line.size() + 1;
    lines_.push_back(std::move(line));
    while (bytes_ > caps_.bytes && lines_.size() > 1) {
        bytes_ -= lines_.front().size() + 1;
        droppedBytes_ += lines_.front().size() + 1;
        lines_.pop_front();
        ++firstLine_;
    }
}

RunOutput::Lines RunOutput::since(std::uint64_t from, std::size_t maxBytes) const {
    std::lock_guard lock(mutex_);
    Lines found;
    found.first = std::max(from, firstLine_);
    found.dropped = firstLine_;
    std::size_t bytes = 0;
    for (std::uint64_t n = found.first; n < firstLine_ + lines_.size(); ++n) {
        const std::string& line = lines_[static_cast<std::size_t>(n - firstLine_)];
        if (!found.lines.empty() && bytes + line.size() > maxBytes) break;
        bytes += line.size() + 1;
        found.lines.push_back(line);
    }
    found.partial = partial_;
    if (partialCut_ > 0) found.partial += cutNote(partialCut_);
    return found;
}

std::string RunOutput::text() const {
    std::lock_guard lock(mutex_);
    std::string all;
    all.reserve(bytes_ + partial_.size());
    for (const std::string& line : lines_) (all += line) += '\n';
    return all + partial_;
}

std::string RunOutput::lastLine() const {
    std::lock_guard lock(mutex_);
    return lastLine_;
}

std::string RunOutput::lastMessage() const {
    std::lock_guard lock(mutex_);
    return lastMessage_;
}

std::uint64_t RunOutput::lineCount() const {
    std::lock_guard lock(mutex_);
    return firstLine_ + lines_.size();
}

std::size_t RunOutput::keptBytes() const {
    std::lock_guard lock(mutex_);
    return bytes_ + partial_.size();
}

std::uint64_t RunOutput::droppedBytes() const {
    std::lock_guard lock(mutex_);
    return droppedBytes_;
}

}  // namespace mapfeed

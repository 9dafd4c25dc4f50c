#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace mapfeed {

/// How much of a run's output is kept.
struct RunOutputCaps {
    std::size_t bytes = 4u << 20;      // kept of the whole output
    std::size_t lineBytes = 1u << 20;  // kept of one line
};

/// What one converter run wrote, in lines, kept in bounded memory. The bytes arrive in pieces
/// of any size from the thread that follows the output, and the window reads them on its own.
/// A line ends at LF, CR LF or a lone CR (a count redrawn in place). Past the caps the oldest
/// lines go first, and a line longer than its cap keeps its beginning; what went is counted.
class RunOutput {
public:
    using Caps = RunOutputCaps;
    /// How the converter's own messages begin: the reason a failed run gives is the last of them.
    static constexpr std::string_view kMessagePrefix = "mapfeed.pl:";

    explicit RunOutput(Caps caps = {}) : caps_(caps) {}

    void append(std::string_view bytes);
    /// The output is complete: an unfinished last line becomes a line of its own.
    void finish();
    /// Lets go of every kept line, for the cap on all runs together; the count stays.
    void drop();

    struct Lines {
        std::uint64_t first = 0;         // number of the first line in `lines`, from 0
        std::vector<std::string> lines;  // complete lines
        std::string partial;             // the unfinished last line so far
        std::uint64_t dropped = 0;       // lines no longer kept, all before `first`
    };
    /// Complete lines from number `from` on, or from the oldest kept when older ones are gone,
    /// about `maxBytes` of them at most (at least one); and the unfinished line.
    Lines since(std::uint64_t from, std::size_t maxBytes) const;
    /// Everything kept, lines ended by LF, for copying.
    std::string text() const;
    /// The last complete line that is not empty, and the last of the converter's messages.
    std::string lastLine() const;
    std::string lastMessage() const;
    /// How many complete lines were written in all, kept or not.
    std::uint64_t lineCount() const;
    std::size_t keptBytes() const;
    std::uint64_t droppedBytes() const;
    /// Moves on at every change, so that a reader can tell whether to look again.
    std::uint64_t version() const { return version_.load(std::memory_order_acquire); }

private:
    void endLine();
    void keep(std::string line);

    const Caps caps_;
    mutable std::mutex mutex_;
    std::deque<std::string> lines_;
    std::uint64_t firstLine_ = 0;  // the number of lines_.front()
    std::size_t bytes_ = 0;        // kept in lines_
    std::uint64_t droppedBytes_ = 0;
    std::string partial_;
    std::uint64_t partialCut_ = 0;  // bytes of the unfinished line not kept
    bool afterCarriageReturn_ = false;
    std::string lastLine_;
    std::string lastMessage_;
    std::atomic<std::uint64_t> version_{0};
};

}  // namespace mapfeed

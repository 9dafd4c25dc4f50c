#include "picture/DesignReading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "dgn/Bytes.h"
#include "dgn/HeaderBlock.h"

namespace mapfeed::picture {

namespace {

// Read a piece at a time: a large file is never held whole, and a file that another program
// cuts short meanwhile ends the walk instead of the program (as a mapping would).
constexpr std::size_t kPiece = 4u << 20;

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

/// Reads `want` bytes at `offset` into `into`, fewer at the end of the file.
bool readAt(int fd, std::uint64_t offset, std::size_t want, std::vector<std::uint8_t>& into) {
    into.resize(want);
    std::size_t got = 0;
    while (got < want) {
        const ssize_t n = ::pread(fd, into.data() + got, want - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    into.resize(got);
    return true;
}

}  // namespace

DesignReading readDesign(const std::string& path, std::uint64_t appendedFrom, const std::atomic<bool>* stop) {
    DesignReading reading;
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0) {
        reading.problem = "The design file " + path + " cannot be read: " + std::strerror(errno) + ".";
        return reading;
    }
    if (!S_ISREG(info.st_mode)) {
        reading.problem = "The design file " + path + " is not a plain file.";
        return reading;
    }
    reading.size = static_cast<std::uint64_t>(info.st_size);
    reading.changed = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    if (reading.size == 0) {
        reading.empty = true;
        return reading;
    }

    std::vector<std::uint8_t> piece;
    if (!readAt(file.get(), 0, kPiece, piece)) {
        reading.problem = "The design file " + path + " cannot be read: " + std::strerror(errno) + ".";
        return reading;
    }
    const dgn::HeaderBlockRead header = dgn::decodeHeaderBlock(piece.data(), piece.size());
    if (!header.units) {
        reading.problem = "The design file " + path + " is not a design file this program can show: " + header.problem + ".";
        return reading;
    }
    if (header.units->threeD) {
        reading.problem = "The design file " + path + " is a 3D design file; only 2D files are shown.";
        return reading;
    }
    // A vertex takes at least 8 bytes in the file: room for them all at once, so that the
    // places never grow by doubling (which would hold two copies for a moment).
    reading.picture->places.reserve(reading.size / 8);
    reading.units = {header.units->uorsPerMaster(), header.units->originX, header.units->originY,
                     header.units->masterName.empty() ? "m" : header.units->masterName};
    reading.picture->unitName = reading.units.masterName;

    std::uint64_t pieceStart = 0;
    std::uint64_t at = 0;
    while (true) {
        if (stop && stop->load()) {
            reading.problem = "stopped";
            return reading;
        }
        // The element's first four bytes, then all of it, within the piece held.
        const auto holds = [&](std::size_t bytes) { return at + bytes <= pieceStart + piece.size(); };
        const auto refill = [&](std::size_t bytes) {
            if (holds(bytes)) return true;
            pieceStart = at;
            return readAt(file.get(), at, std::max(kPiece, bytes), piece) && holds(bytes);
        };
        if (!refill(2)) break;  // the file ends without an end marker: shown as far as it goes
        const std::uint8_t* start = piece.data() + (at - pieceStart);
        if (dgn::getWord(start) == 0xFFFF) break;
        if (!refill(4)) break;
        start = piece.data() + (at - pieceStart);
        const std::size_t length = 4 + 2 * std::size_t{dgn::getWord(start + 2)};
        if (!refill(length)) {
            reading.problem = "The design file " + path + " ends inside an element (at byte " + std::to_string(at) +
                              "); what comes before is shown.";
            break;
        }
        start = piece.data() + (at - pieceStart);
        addElement(*reading.picture, dgn::ElementView(start, length), reading.units,
                   at >= appendedFrom ? Layer::Appended : Layer::Design);
        at += length;
    }
    reading.endOffset = at;
    return reading;
}

}  // namespace mapfeed::picture

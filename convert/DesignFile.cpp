#include "convert/DesignFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <chrono>
#include <cstring>
#include <sstream>

#include "convert/Failure.h"
#include "convert/Signals.h"
#include "dgn/ElementReader.h"

namespace convert {
namespace {

constexpr std::size_t kFlushBytes = 1 << 20;
// The most bytes after an end marker held in memory to be put back by a failed run.
constexpr std::uint64_t kMaxTail = 1 << 20;
constexpr std::uint8_t kEndMarker[2] = {0xFF, 0xFF};
constexpr const char* kRememberedEnd = "user.mapfeed.end";
constexpr std::uint64_t kFingerprintBytes = 4096;

std::string errorText() { return std::strerror(errno); }

}  // namespace

void DesignFile::unusable(const std::string& why) const { throw Failure(kDesign, "design file " + path_ + ": " + why); }

DesignFile::DesignFile(const std::string& path, double lockWaitSeconds) : path_(path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) unusable("does not exist");
        unusable("cannot be reached: " + errorText());
    }
    if (!S_ISREG(st.st_mode)) unusable("is not a plain file");
    // A file nobody may write is protected on purpose, even against root.
    if ((st.st_mode & 0222) == 0) unusable("is not writable");
    fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0) unusable("is not writable (" + errorText() + ")");
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) unusable("is not a plain file");
    lock(lockWaitSeconds);
    read();
}

DesignFile::~DesignFile() {
    if (fd_ >= 0) ::close(fd_);
}

void DesignFile::lock(double seconds) {
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        struct flock whole {};
        whole.l_type = F_WRLCK;
        whole.l_whence = SEEK_SET;
        if (::fcntl(fd_, F_SETLK, &whole) == 0) return;
        if (errno != EACCES && errno != EAGAIN) unusable("cannot be locked: " + errorText());
        checkSignals();
        const std::chrono::duration<double> waited = std::chrono::steady_clock::now() - start;
        if (waited.count() >= seconds) {
            struct flock holder {};
            holder.l_type = F_WRLCK;
            holder.l_whence = SEEK_SET;
            std::string who = "another converter";
            if (::fcntl(fd_, F_GETLK, &holder) == 0 && holder.l_type != F_UNLCK)
                who += " (process " + std::to_string(holder.l_pid) + ")";
            char waitedText[32];
            std::snprintf(waitedText, sizeof waitedText, "%g", seconds);
            unusable("is locked by " + who + ", still after " + waitedText + " s of waiting; try again when it is done");
        }
        const timespec pause{0, 20'000'000};
        ::nanosleep(&pause, nullptr);
    }
}

void DesignFile::read() {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) unusable("cannot be read: " + errorText());
    oldSize_ = static_cast<std::uint64_t>(st.st_size);
    if (oldSize_ == 0) {
        fresh_ = true;
        return;
    }
    dgn::Bytes start(std::min<std::uint64_t>(oldSize_, dgn::kHeaderBlockBytes));
    if (::pread(fd_, start.data(), start.size(), 0) != static_cast<ssize_t>(start.size())) unusable("cannot be read: " + errorText());
    // A file whose end marker stands first holds no elements: what follows it (the unfinished
    // header of a run that was killed) is no part of it.
    const bool emptyMarked = start.size() >= 2 && start[0] == 0xFF && start[1] == 0xFF &&
                             (start.size() == 2 || (start.size() >= 4 && start[2] == 0xFE && start[3] == 0x02));
    if (emptyMarked) {
        fresh_ = true;
        hadMarker_ = true;
    } else {
        const auto header = dgn::decodeHeaderBlock(start.data(), start.size());
        if (!header.units) unusable(header.problem);
        units_ = *header.units;
        if (units_.threeD) unusable("is a 3D design file; this converter writes 2D files only");
        if (units_.subunitsPerMaster <= 0 || units_.uorsPerSubunit <= 0)
            unusable("has no usable units (subunits per master " + std::to_string(units_.subunitsPerMaster) +
                     ", UORs per subunit " + std::to_string(units_.uorsPerSubunit) + ")");
        dgn::ElementReader reader(fd_, oldSize_);
        for (bool walking = !readRemembered(); walking;) {
            switch (reader.next()) {
            case dgn::ElementReader::Step::Element: {
                const dgn::ElementView e = reader.element();
                if (e.type() == static_cast<std::uint8_t>(dgn::ElementType::TextNode) && e.size() >= 42)
                    lastNode_ = std::max(lastNode_, dgn::getWord(e.data() + 40));
                if (e.hasDisplay()) lastGroup_ = std::max(lastGroup_, e.graphicGroup());
                break;
            }
            case dgn::ElementReader::Step::EndMarker:
                end_ = reader.offset();
                hadMarker_ = true;
                walking = false;
                break;
            case dgn::ElementReader::Step::EndOfFile:
                end_ = oldSize_;
                walking = false;
                break;
            case dgn::ElementReader::Step::Damaged:
            case dgn::ElementReader::Step::ReadError:
                unusable(reader.problem());
            }
        }
    }
    // Bytes after the end marker are no part of the file's content (padding, or what a killed
    // run left); up to kMaxTail of them are kept to be put back exactly by a failed run.
    if (hadMarker_ && oldSize_ > end_ + 2 && oldSize_ - end_ - 2 <= kMaxTail) {
        oldTail_.resize(oldSize_ - end_ - 2);
        if (::pread(fd_, oldTail_.data(), oldTail_.size(), static_cast<off_t>(end_ + 2)) != static_cast<ssize_t>(oldTail_.size()))
            unusable("cannot be read: " + errorText());
    }
}

// The file's size, modification time and inode, and a hash of the bytes before end.
std::string DesignFile::fingerprint(std::uint64_t end) const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return {};
    const std::uint64_t from = end > kFingerprintBytes ? end - kFingerprintBytes : 0;
    dgn::Bytes bytes(end - from);
    if (::pread(fd_, bytes.data(), bytes.size(), static_cast<off_t>(from)) != static_cast<ssize_t>(bytes.size())) return {};
    std::uint64_t hash = 0xcbf29ce484222325u;  // FNV-1a
    for (std::uint8_t b : bytes) hash = (hash ^ b) * 0x100000001b3u;
    std::ostringstream text;
    text << st.st_size << ' ' << st.st_mtim.tv_sec << ' ' << st.st_mtim.tv_nsec << ' ' << st.st_ino << ' ' << hash;
    return text.str();
}

bool DesignFile::readRemembered() {
    char note[256];
    const ssize_t n = ::fgetxattr(fd_, kRememberedEnd, note, sizeof note - 1);
    if (n <= 0) return false;
    std::istringstream in(std::string(note, static_cast<std::size_t>(n)));
    std::string version, print;
    std::uint64_t end = 0;
    unsigned node = 0, group = 0;
    if (!(in >> version >> end >> node >> group) || version != "v1" || !std::getline(in >> std::ws, print)) return false;
    if (end < dgn::kHeaderBlockBytes || end + 2 > oldSize_ || print != fingerprint(end)) return false;
    std::uint8_t marker[2];
    if (::pread(fd_, marker, 2, static_cast<off_t>(end)) != 2 || marker[0] != 0xFF || marker[1] != 0xFF) return false;
    end_ = end;
    hadMarker_ = true;
    lastNode_ = static_cast<std::uint16_t>(node);
    lastGroup_ = static_cast<std::uint16_t>(group);
    return true;
}

void DesignFile::remember(std::uint16_t lastNodeNumber, std::uint16_t lastGraphicGroup) noexcept {
    if (!committed_) return;
    try {
        const std::uint64_t end = end_ + written_ - 2;
        const std::string note = "v1 " + std::to_string(end) + ' ' + std::to_string(lastNodeNumber) + ' ' +
                                 std::to_string(lastGraphicGroup) + ' ' + fingerprint(end);
        (void)::fsetxattr(fd_, kRememberedEnd, note.data(), note.size(), 0);
    } catch (...) {
        // Only a shortcut for the next run is lost.
    }
}

void DesignFile::writeAt(std::uint64_t offset, const std::uint8_t* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::pwrite(fd_, bytes, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) unusable("could not be written: " + (n < 0 ? errorText() : std::string("nothing was taken")));
        bytes += n;
        size -= static_cast<std::size_t>(n);
        offset += static_cast<std::uint64_t>(n);
    }
}

void DesignFile::append(std::span<const std::uint8_t> bytes) {
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    if (buffer_.size() >= kFlushBytes) flush();
}

void DesignFile::flush() {
    if (buffer_.empty()) return;
    if (!touched_) {
        touched_ = true;
        // A file that ended without a marker gets one where it ended: it reads the same, and
        // the new elements can go after it unseen until the commit.
        if (!hadMarker_) writeAt(end_, kEndMarker, 2);
    }
    if (written_ == 0) {
        firstWord_[0] = buffer_[0];
        firstWord_[1] = buffer_[1];
        writeAt(end_ + 2, buffer_.data() + 2, buffer_.size() - 2);
    } else {
        writeAt(end_ + written_, buffer_.data(), buffer_.size());
    }
    written_ += buffer_.size();
    buffer_.clear();
}

void DesignFile::commit() {
    buffer_.insert(buffer_.end(), kEndMarker, kEndMarker + 2);
    flush();
    if (::fdatasync(fd_) != 0) unusable("could not be written: " + errorText());
    checkSignals();  // the last moment at which a signal still ends the run with nothing written
    writeAt(end_, firstWord_, 2);
    if (::fdatasync(fd_) != 0) unusable("could not be written: " + errorText());
    committed_ = true;
}

void DesignFile::rollback() noexcept {
    if (!touched_ || committed_ || fd_ < 0) return;
    // Each step is tried whatever the one before did: the file should end where it ended.
    if (hadMarker_) (void)::pwrite(fd_, kEndMarker, 2, static_cast<off_t>(end_));
    (void)::ftruncate(fd_, static_cast<off_t>(oldSize_));
    if (!oldTail_.empty()) (void)::pwrite(fd_, oldTail_.data(), oldTail_.size(), static_cast<off_t>(end_ + 2));
    (void)::fdatasync(fd_);
    touched_ = false;
}

}  // namespace convert

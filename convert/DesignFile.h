#pragma once
// The design file, appended to in place. It is opened and locked for the run (other
// converters wait their turn, for a bounded time), its header read and its elements walked to
// find the end marker. New elements are written after the old end while the old end marker
// still ends the file; the first word of the new elements replaces the end marker last. So a
// run killed at any instant leaves the file ending where it did, or ending after all the new
// elements; a failed run truncates it back. The file keeps its inode, owner, mode, links and
// whatever another program holds open.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "dgn/Bytes.h"
#include "dgn/HeaderBlock.h"

namespace convert {

class DesignFile {
public:
    /// Opens, locks and reads path. Waits at most lockWaitSeconds for another converter's
    /// lock. Throws Failure (exit 5, or a signal's status).
    DesignFile(const std::string& path, double lockWaitSeconds);
    ~DesignFile();
    DesignFile(const DesignFile&) = delete;
    DesignFile& operator=(const DesignFile&) = delete;

    /// Empty (or holding nothing before its end marker): it needs a new header.
    bool fresh() const { return fresh_; }
    const dgn::DesignUnits& units() const { return units_; }
    std::uint16_t lastNodeNumber() const { return lastNode_; }
    std::uint16_t lastGraphicGroup() const { return lastGroup_; }

    /// Appends new element bytes (buffered). Throws Failure on a write error.
    void append(std::span<const std::uint8_t> bytes);
    /// True when anything was appended.
    bool hasNewElements() const { return written_ > 0 || !buffer_.empty(); }
    /// Makes the new elements part of the file. After it returns they are there for good.
    void commit();
    /// Takes back whatever was appended; the file is as it was before the run.
    void rollback() noexcept;
    /// After the commit: notes on the file (an extended attribute) where its end now is and
    /// the last node number and graphic group, so that the next run need not walk the file.
    /// The note is trusted only while the file's size, modification time, end marker and the
    /// bytes before it are as noted; where attributes are not supported it is left out.
    void remember(std::uint16_t lastNodeNumber, std::uint16_t lastGraphicGroup) noexcept;

private:
    void lock(double seconds);
    void read();
    bool readRemembered();
    std::string fingerprint(std::uint64_t end) const;
    void flush();
    void writeAt(std::uint64_t offset, const std::uint8_t* bytes, std::size_t size);
    [[noreturn]] void unusable(const std::string& why) const;

    std::string path_;
    int fd_ = -1;
    bool fresh_ = false;
    dgn::DesignUnits units_;
    std::uint16_t lastNode_ = 0, lastGroup_ = 0;
    std::uint64_t oldSize_ = 0;
    std::uint64_t end_ = 0;           ///< where the old end marker is (or goes)
    bool hadMarker_ = false;
    dgn::Bytes oldTail_;              ///< what followed the old end marker
    dgn::Bytes buffer_;
    std::uint8_t firstWord_[2]{};     ///< held back: it replaces the end marker at the commit
    std::uint64_t written_ = 0;       ///< new bytes written so far, the first word included
    bool touched_ = false;            ///< the file was changed and needs a rollback on failure
    bool committed_ = false;
};

}  // namespace convert

#include "platform/posix/PosixFiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace mapfeed::posix {

namespace {

std::string errorText(int error) { return std::strerror(error); }

// Closes a descriptor on every way out of a scope.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

bool fileExists(const std::string& path) {
    if (path.empty()) return false;
    // Look before opening: opening a device or a pipe may have effects of its own.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    Descriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (file.fd < 0) return false;
    // The name may have been replaced between the look and the open.
    return ::fstat(file.fd, &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<std::string> appendRecord(const std::string& path, const std::string& record) {
    Descriptor log{::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666)};
    if (log.fd < 0) return errorText(errno);

    struct stat info {};
    if (::fstat(log.fd, &info) != 0) return errorText(errno);
    if (!S_ISREG(info.st_mode)) return std::string("it is not a regular file");

    // The lock keeps the size we may have to return to valid while we write.
    while (::flock(log.fd, LOCK_EX) != 0)
        if (errno != EINTR) return errorText(errno);
    if (::fstat(log.fd, &info) != 0) return errorText(errno);
    const off_t before = info.st_size;

    ssize_t written;
    do {
        written = ::write(log.fd, record.data(), record.size());
    } while (written < 0 && errno == EINTR);
    const int writeError = written < 0 ? errno : ENOSPC;
    if (written != static_cast<ssize_t>(record.size())) {
        if (written > 0 && ::ftruncate(log.fd, before) == 0) ::fsync(log.fd);
        return errorText(writeError);
    }
    if (::fsync(log.fd) != 0) {
        const int syncError = errno;
        // EINVAL: the file lives where syncing means nothing; the record is written all the same.
        if (syncError != EINVAL && syncError != EROFS) {
            if (::ftruncate(log.fd, before) == 0) ::fsync(log.fd);
            return errorText(syncError);
        }
    }
    if (::close(log.fd) != 0) {
        log.fd = -1;
        return errorText(errno);
    }
    log.fd = -1;
    return std::nullopt;
}

std::string localDateTimeText(long long secondsSinceEpoch) {
    const std::time_t time = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm local{};
    ::localtime_r(&time, &local);
    char text[128];
    const std::size_t length = std::strftime(text, sizeof text, "%x %X", &local);
    return std::string(text, length);
}

}  // namespace mapfeed::posix

#include "posix/PosixFiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <thread>

#include "posix/UniqueFd.h"

namespace mapfeed::posix {

namespace {

std::string errorText(int error) { return std::strerror(error); }

}  // namespace

bool fileExists(const std::string& path) {
    // The name goes to the system as a C string: one holding a NUL would be cut there and name
    // another file.
    if (path.empty() || path.find('\0') != std::string::npos) return false;
    // An O_PATH descriptor opens nothing: no pipe or device is woken, and no lease is broken.
    const UniqueFd file{::open(path.c_str(), O_PATH | O_CLOEXEC)};
    if (file.get() < 0) return false;
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    // Asked of the descriptor, so that a name replaced meanwhile cannot answer for it.
    if (::faccessat(file.get(), "", R_OK, AT_EMPTY_PATH | AT_EACCESS) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    return ::faccessat(AT_FDCWD, path.c_str(), R_OK, AT_EACCESS) == 0;  // a kernel before 5.8
}

std::optional<std::uint64_t> regularFileSize(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) return std::nullopt;
    const UniqueFd file{::open(path.c_str(), O_PATH | O_CLOEXEC)};
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

std::optional<std::string> createEmptyFile(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) return "the name is empty or holds a NUL";
    // O_EXCL: made only where nothing stands, so no file of the user's is ever emptied.
    const UniqueFd file{::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666)};
    if (file.get() >= 0 || errno == EEXIST) return std::nullopt;
    return std::strerror(errno);
}

namespace {

// How long another program may hold the log's lock before the user is told.
constexpr auto kLockPatience = std::chrono::seconds(2);
constexpr auto kLockRetry = std::chrono::milliseconds(10);

std::optional<std::string> openFailure(int error) {
    if (error == ELOOP) return std::string("it is a symbolic link, which the program does not follow");
    if (error == ENXIO) return std::string("it is not a regular file");  // a named pipe nobody reads
    if (error == EWOULDBLOCK) return std::string(kLogInUse);             // another program's lease
    return errorText(error);
}

/// What must come before a record so that it starts on a line of its own: nothing when the log
/// is empty or its last line is ended, else the end of the line a killed writer left cut.
std::string lineEndBefore(int fd, off_t size) {
    if (size == 0) return {};
    char tail[2] = {};
    const off_t from = size >= 2 ? size - 2 : 0;
    const ssize_t got = ::pread(fd, tail, static_cast<size_t>(size - from), from);
    if (got <= 0) return {};  // opened for writing only: nothing can be looked at
    const char last = tail[got - 1];
    if (last == '\n') return {};
    return last == '\r' ? "\n" : "\r\n";
}

}  // namespace

std::optional<std::string> appendRecord(const std::string& path, const std::string& record,
                                        const std::function<void()>& whileWaiting) {
    // Never through a link: one planted in a shared folder would make us append to any file
    // the user can write. Never waiting: a named pipe would hold the open until someone reads.
    constexpr int kFlags = O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    // Read access only serves to look at the log's last bytes.
    UniqueFd log{::open(path.c_str(), O_RDWR | kFlags, 0666)};
    if (!log && errno == EACCES) log.reset(::open(path.c_str(), O_WRONLY | kFlags, 0666));
    if (!log) return openFailure(errno);

    struct stat info {};
    if (::fstat(log.get(), &info) != 0) return errorText(errno);
    if (!S_ISREG(info.st_mode)) return std::string("it is not a regular file");

    // The lock keeps the size we may have to return to valid while we write. Another program
    // may hold it for long (or for ever): tried for a while, the window kept answering.
    const auto giveUp = std::chrono::steady_clock::now() + kLockPatience;
    while (::flock(log.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) return errorText(errno);
        if (std::chrono::steady_clock::now() >= giveUp) return std::string(kLogInUse);
        if (whileWaiting) whileWaiting();
        std::this_thread::sleep_for(kLockRetry);
    }
    if (::fstat(log.get(), &info) != 0) return errorText(errno);
    const off_t before = info.st_size;

    // One write for the mend and the record, so neither can stand without the other.
    const std::string text = lineEndBefore(log.get(), before) + record;
    ssize_t written;
    do {
        written = ::write(log.get(), text.data(), text.size());
    } while (written < 0 && errno == EINTR);
    const int writeError = written < 0 ? errno : ENOSPC;
    if (written != static_cast<ssize_t>(text.size())) {
        if (written > 0 && ::ftruncate(log.get(), before) == 0) ::fsync(log.get());
        return errorText(writeError);
    }
    if (::fsync(log.get()) != 0) {
        const int syncError = errno;
        // EINVAL: the file lives where syncing means nothing; the record is written all the same.
        if (syncError != EINVAL && syncError != EROFS) {
            if (::ftruncate(log.get(), before) == 0) ::fsync(log.get());
            return errorText(syncError);
        }
    }
    // Closed here, not on the way out: a close that fails may have lost the write.
    if (::close(log.release()) != 0) return errorText(errno);
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

#include "posix/ProcessStart.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/statvfs.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <optional>

#include "posix/SearchPath.h"

extern char** environ;

namespace mapfeed::posix {

namespace {

/// The start's attributes and file actions, let go however the start ends.
class SpawnSetup {
public:
    explicit SpawnSetup(int output) {
        if ((error_ = posix_spawnattr_init(&attr_)) != 0) return;
        haveAttr_ = true;
        if ((error_ = posix_spawn_file_actions_init(&actions_)) != 0) return;
        haveActions_ = true;

        // The converter starts with default signal handling and an empty mask, whatever ours are.
        sigset_t all, none;
        sigfillset(&all);
        sigemptyset(&none);
        posix_spawnattr_setsigdefault(&attr_, &all);
        posix_spawnattr_setsigmask(&attr_, &none);
        posix_spawnattr_setflags(&attr_, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSID);

        if (output >= 0) {
            if ((error_ = posix_spawn_file_actions_adddup2(&actions_, output, STDOUT_FILENO)) != 0) return;
            if ((error_ = posix_spawn_file_actions_adddup2(&actions_, output, STDERR_FILENO)) != 0) return;
        }
        if ((error_ = posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0)) != 0)
            return;
        // Whatever a library of ours opened without close-on-exec stays ours.
        error_ = posix_spawn_file_actions_addclosefrom_np(&actions_, STDERR_FILENO + 1);
    }
    ~SpawnSetup() {
        if (haveActions_) posix_spawn_file_actions_destroy(&actions_);
        if (haveAttr_) posix_spawnattr_destroy(&attr_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    int error() const { return error_; }
    const posix_spawnattr_t* attr() const { return &attr_; }
    const posix_spawn_file_actions_t* actions() const { return &actions_; }

private:
    posix_spawnattr_t attr_;
    posix_spawn_file_actions_t actions_;
    bool haveAttr_ = false;
    bool haveActions_ = false;
    int error_ = 0;
};

// Less free space than this, and the output file's folder counts as full.
constexpr unsigned long long kLeastRoom = 1u << 20;

std::string tempFolder() {
    const char* tmpdir = std::getenv("TMPDIR");
    return tmpdir && *tmpdir ? tmpdir : "/tmp";
}

// A descriptor of 0, 1 or 2 (ours were closed) would be taken over by the child's own.
int aboveStandardDescriptors(int fd) {
    if (fd < 0 || fd > STDERR_FILENO) return fd;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return moved;
}

}  // namespace

Spawned spawnDetached(const std::vector<std::string>& args, SpawnOptions options) {
    if (args.empty() || args.front().empty()) return {false, 0, "the command line names no program"};

    // Everything that can fail comes before the start: the reaper, its watch, the argument list.
    std::string reaperError;
    ChildReaper* reaper = ChildReaper::get(reaperError);
    if (!reaper) return {false, 0, "no thread could be started to wait for it: " + reaperError};
    std::unique_ptr<ChildReaper::Watch> watch;
    std::vector<char*> argv;
    try {
        watch = reaper->prepare(std::move(options.onEnd));
        argv.reserve(args.size() + 1);
    } catch (const std::bad_alloc&) {
        return {false, 0, std::strerror(ENOMEM)};
    }
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    // The program is looked up, and runs, with a search path that holds no folder relative to
    // the current one: whatever is planted there runs neither as the program nor through it.
    const char* path = std::getenv("PATH");
    const std::string searchPath = cleanSearchPath(path ? path : "/bin:/usr/bin");
    const std::optional<std::string> program = findProgram(args.front(), searchPath);
    const std::string notFound = "\"" + args.front() + "\" was not found on the program search path (PATH)";
    if (!program) return {false, 0, notFound};
    std::vector<std::string> environment;
    for (char** variable = environ; *variable; ++variable)
        if (std::strncmp(*variable, "PATH=", 5) != 0) environment.emplace_back(*variable);
    if (path) environment.push_back("PATH=" + searchPath);
    std::vector<char*> envp;
    for (std::string& variable : environment) envp.push_back(variable.data());
    envp.push_back(nullptr);

    SpawnSetup setup(options.output);
    if (setup.error() != 0) return {false, 0, std::strerror(setup.error())};

    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, program->c_str(), setup.actions(), setup.attr(), argv.data(), envp.data());
    if (error != 0) return {false, 0, error == ENOENT ? notFound : std::strerror(error)};
    const std::uint64_t id = reaper->adopt(std::move(watch), pid);
    return {true, static_cast<long>(pid), {}, id};
}

UniqueFd makeOutputFile(std::string& error) {
    // A TMPDIR that names no usable folder, or one that is full, should not stop a conversion
    // nor silently swallow what it says: /tmp then, and failing that a word of warning.
    std::vector<std::string> folders{tempFolder()};
    if (folders.front() != "/tmp") folders.emplace_back("/tmp");
    UniqueFd full;  // made in a folder without room, kept in case no other will do
    std::string fullFolders;
    for (const std::string& folder : folders) {
        int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_APPEND | O_CLOEXEC, 0600);
        if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
            // A file system without unnamed files: make a named one and take its name away at once.
            std::string name = folder + "/mapfeed-output-XXXXXX";
            fd = ::mkostemp(name.data(), O_APPEND | O_CLOEXEC);
            if (fd >= 0) ::unlink(name.c_str());
        }
        fd = aboveStandardDescriptors(fd);
        if (fd < 0) {
            if (error.empty()) error = "no file for its output could be made in " + folder + ": " + std::strerror(errno);
            continue;
        }
        UniqueFd file(fd);
        struct statvfs room {};
        if (::fstatvfs(fd, &room) == 0 && room.f_bavail * room.f_frsize < kLeastRoom) {
            fullFolders += (fullFolders.empty() ? "" : " and ") + folder;
            if (!full) full = std::move(file);
            continue;
        }
        error.clear();
        return file;
    }
    if (full) error = "there is no room in " + fullFolders + " for its output, which may be lost";
    return full;
}

}  // namespace mapfeed::posix

#include "platform/posix/ProcessStart.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

extern char** environ;

namespace mapfeed::posix {

namespace {

void reapWhenDone(pid_t pid) {
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

}  // namespace

Spawned spawnDetached(const std::vector<std::string>& args) {
    if (args.empty() || args.front().empty()) return {false, 0, "the command line names no program"};

    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    posix_spawnattr_t attr;
    if (const int error = posix_spawnattr_init(&attr); error != 0) return {false, 0, std::strerror(error)};
    // The converter starts with default signal handling and an empty mask, whatever ours are.
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSID);

    pid_t pid = 0;
    const int error = ::posix_spawnp(&pid, argv.front(), nullptr, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);

    if (error != 0) {
        std::string reason = std::strerror(error);
        if (error == ENOENT) reason = "\"" + args.front() + "\" was not found on the program search path (PATH)";
        return {false, 0, reason};
    }
    reapWhenDone(pid);
    return {true, static_cast<long>(pid), {}};
}

}  // namespace mapfeed::posix

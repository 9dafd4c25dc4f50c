// A file system that stands in for a network share that has stopped answering: it holds
// "in.gen" and "out.dgn", and every request waits DELAY seconds before it is answered
// (0: never). Unmounting it, or ending this process, releases whatever waits on it.
//
//   mapfeed-hung-share MOUNTPOINT DELAY
//
// It mounts with the subtype "sshfs", so that the program lists it among its drives as it
// lists a real remote folder.

#define FUSE_USE_VERSION 35
#include <fuse.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

int delaySeconds = 0;

void stall() {
    if (delaySeconds > 0) {
        std::this_thread::sleep_for(std::chrono::seconds(delaySeconds));
        return;
    }
    for (;;) ::pause();
}

bool isFile(const char* path) { return std::strcmp(path, "/in.gen") == 0 || std::strcmp(path, "/out.dgn") == 0; }

int shareGetattr(const char* path, struct stat* info, struct fuse_file_info*) {
    stall();
    std::memset(info, 0, sizeof *info);
    if (std::strcmp(path, "/") == 0) {
        info->st_mode = S_IFDIR | 0755;
        info->st_nlink = 2;
        return 0;
    }
    if (!isFile(path)) return -ENOENT;
    info->st_mode = S_IFREG | 0644;
    info->st_nlink = 1;
    return 0;
}

int shareReaddir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, struct fuse_file_info*,
            enum fuse_readdir_flags) {
    stall();
    if (std::strcmp(path, "/") != 0) return -ENOENT;
    for (const char* name : {".", "..", "in.gen", "out.dgn"}) fill(buffer, name, nullptr, 0, FUSE_FILL_DIR_PLUS);
    return 0;
}

int shareOpen(const char* path, struct fuse_file_info*) {
    stall();
    return isFile(path) ? 0 : -ENOENT;
}

int shareRead(const char*, char*, size_t, off_t, struct fuse_file_info*) { return 0; }

int shareAccess(const char*, int) {
    stall();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s MOUNTPOINT DELAY\n", argv[0]);
        return 2;
    }
    delaySeconds = std::atoi(argv[2]);
    struct fuse_operations operations {};
    operations.getattr = shareGetattr;
    operations.readdir = shareReaddir;
    operations.open = shareOpen;
    operations.read = shareRead;
    operations.access = shareAccess;
    std::string program = argv[0];
    // In the foreground, so that the caller holds its pid; no attribute caching, so that every
    // look at the share is a request that waits.
    char* arguments[] = {program.data(), const_cast<char*>("-f"), const_cast<char*>("-o"),
                         const_cast<char*>("subtype=sshfs,fsname=hung:/share,attr_timeout=0,entry_timeout=0"),
                         argv[1], nullptr};
    return fuse_main(5, arguments, &operations, nullptr);
}

#include "posix/FolderReader.h"

#include <dirent.h>
#include <fcntl.h>
#include <mntent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <climits>
#include <cstring>

namespace mapfeed::posix {

namespace {

/// Names in the order a user scans them: letters without regard to case, then byte order.
bool nameOrder(const std::string& a, const std::string& b) {
    const int folded = ::strcasecmp(a.c_str(), b.c_str());
    return folded != 0 ? folded < 0 : a < b;
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

bool sameTime(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

}  // namespace

std::shared_ptr<const FolderContents> FolderReader::read(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    std::unique_ptr<DIR, DirCloser> dir(::fdopendir(fd));
    if (!dir) {
        ::close(fd);
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) return nullptr;

    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (cached_ && trusted_ && path == cachedPath_ && info.st_dev == cachedDevice_ &&
            info.st_ino == cachedInode_ && sameTime(info.st_mtim, cachedChange_))
            return cached_;
    }

    auto contents = std::make_shared<FolderContents>();
    for (;;) {
        // Set before every call: a failed look at one entry below leaves errno set, and only
        // readdir's own failure makes the folder unreadable.
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (!entry) {
            if (errno != 0) return nullptr;
            break;
        }
        if (entry->d_name[0] == '.') continue;  // hidden, and "." and ".."
        unsigned char type = entry->d_type;
        if (type == DT_UNKNOWN || type == DT_LNK) {
            // Follow links: a link to a file is a file, a link to a folder a folder.
            struct stat target {};
            if (::fstatat(fd, entry->d_name, &target, 0) != 0) continue;
            type = S_ISDIR(target.st_mode) ? DT_DIR : S_ISREG(target.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        if (type == DT_DIR) contents->folders.emplace_back(entry->d_name);
        else if (type == DT_REG) contents->files.emplace_back(entry->d_name);
    }
    std::sort(contents->folders.begin(), contents->folders.end(), nameOrder);
    std::sort(contents->files.begin(), contents->files.end(), nameOrder);

    const std::lock_guard<std::mutex> lock(mutex_);
    cachedPath_ = path;
    cachedDevice_ = info.st_dev;
    cachedInode_ = info.st_ino;
    cachedChange_ = info.st_mtim;
    // File times tick coarsely: a folder changed within the last second may change again
    // without its time moving, so such a reading is not reused.
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    trusted_ = now.tv_sec - info.st_mtim.tv_sec > 1;
    cached_ = contents;
    return contents;
}

std::string currentFolder() {
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string("/");
}

std::vector<std::string> mountedVolumes() {
    std::vector<std::string> found;
    if (FILE* mounts = ::setmntent("/proc/self/mounts", "r")) {
        struct mntent entry {};
        char buffer[4096];
        while (::getmntent_r(mounts, &entry, buffer, sizeof buffer)) {
            const std::string point = entry.mnt_dir;
            const std::string device = entry.mnt_fsname;
            const std::string type = entry.mnt_type;
            const bool disk = device.rfind("/dev/", 0) == 0;
            const bool share = type == "nfs" || type == "nfs4" || type == "cifs" || type == "smb3" ||
                               type.rfind("fuse.sshfs", 0) == 0;
            if (point == "/" || !(disk || share)) continue;
            // The system's own mounts are no place a user browses for data.
            bool system = false;
            for (const char* prefix : {"/boot", "/proc", "/sys", "/dev", "/run", "/snap", "/var/lib", "/etc"})
                if (point.rfind(prefix, 0) == 0) system = true;
            if (point.rfind("/run/media/", 0) == 0) system = false;
            if (!system) found.push_back(point);
        }
        ::endmntent(mounts);
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

bool canEnter(const std::string& folder) { return ::access(folder.c_str(), R_OK | X_OK) == 0; }

}  // namespace mapfeed::posix

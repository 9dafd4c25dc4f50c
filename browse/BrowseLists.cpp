#include "browse/BrowseLists.h"

#include "browse/FilePattern.h"

namespace mapfeed {

namespace {

/// "/a/b" joined with "c" is "/a/b/c"; "/" joined with "c" is "/c".
std::string child(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

/// "/", "/a", "/a/b" for "/a/b".
std::vector<std::string> chainOf(const std::string& path) {
    std::vector<std::string> chain{"/"};
    std::string walked;
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) {
            walked += "/" + path.substr(start, end - start);
            chain.push_back(walked);
        }
        start = end + 1;
    }
    return chain;
}

}  // namespace

std::shared_ptr<const FolderContents> readFolderFor(FolderServices& services, MessageBoxes& messages,
                                                    const std::string& path) {
    FolderRead read = services.readFolder(path);
    // Told once, when it was waited for; a folder still stuck is passed over in silence.
    if (read.failure == FolderFailure::NoAnswer)
        messages.messageBox("The folder " + path + kDoesNotAnswer + "; the Browse window keeps showing the folder it showed.",
                            MessageButtons::Ok);
    return std::move(read.contents);
}

void DriveList::setEntries(std::vector<std::string> drives, std::string current) {
    entries_ = std::move(drives);
    drive_ = std::move(current);
    changed();
}

bool DriveList::userPicks(const std::string& drive) {
    if (!enabled()) return false;
    if (drive == drive_) return true;
    drive_ = drive;
    changed();
    if (onChange) onChange();
    return true;
}

void FolderList::setPath(std::string path) {
    const auto contents = readFolderFor(services_, messages_, path);
    if (!contents) return;  // keep showing the last folder that could be read
    const bool moved = path != path_;
    entries_ = chainOf(path);
    chainLength_ = entries_.size();
    for (const std::string& folder : contents->folders) entries_.push_back(child(path, folder));
    path_ = std::move(path);
    changed();
    if (moved && onChange) onChange();
}

bool FolderList::userOpens(std::string path) {
    if (!enabled()) return false;
    setPath(std::move(path));
    return true;
}

void FileList::relist(std::string path) {
    const auto contents = readFolderFor(services_, messages_, path);
    if (!contents) return;  // keep showing the last folder that could be read
    path_ = std::move(path);
    entries_.clear();
    for (const std::string& name : contents->files)
        if (matchesPattern(name, pattern_)) entries_.push_back(name);
    selected_.clear();
    changed();
}

void FileList::setPath(std::string path) { relist(std::move(path)); }

void FileList::setPattern(std::string pattern) {
    pattern_ = std::move(pattern);
    relist(path_);
}

bool FileList::userPicks(const std::string& name) {
    if (!enabled()) return false;
    if (selected_ != name) {
        selected_ = name;
        changed();
    }
    return true;
}

bool FileList::userDoubleClicks(std::string name) {
    if (!userPicks(name)) return false;
    if (onDblClick) onDblClick();
    return true;
}

}  // namespace mapfeed

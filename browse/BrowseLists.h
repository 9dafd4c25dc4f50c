#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/Controls.h"
#include "ui/Services.h"

namespace mapfeed {

/// The contents of a folder for a list, or nullptr; a folder whose file system did not answer
/// when it was waited for is told to the user.
std::shared_ptr<const FolderContents> readFolderFor(FolderServices& services, MessageBoxes& messages,
                                                    const std::string& path);

/// The machine's drives; the chosen one is a path the folder list accepts.
class DriveList : public Control {
public:
    DriveList(ControlOwner& window, std::string name) : Control(window, std::move(name), ControlKind::DriveList) {}

    const std::string& drive() const { return drive_; }
    const std::vector<std::string>& entries() const { return entries_; }
    void setEntries(std::vector<std::string> drives, std::string current);
    /// The user chooses another drive; the change rule runs when it differs.
    bool userPicks(const std::string& drive);

    std::function<void()> onChange;

private:
    std::string drive_;
    std::vector<std::string> entries_;
};

/// The folders along a path and below it, like the classic folder list: the chain from the
/// root down to the current folder, then the current folder's subfolders, all as full paths.
class FolderList : public Control {
public:
    FolderList(ControlOwner& window, std::string name, FolderServices& services, MessageBoxes& messages)
        : Control(window, std::move(name), ControlKind::FolderList), services_(services), messages_(messages) {}

    const std::string& path() const { return path_; }
    const std::vector<std::string>& entries() const { return entries_; }
    /// How many of the entries are the chain of the path (the rest are its subfolders).
    std::size_t chainLength() const { return chainLength_; }

    /// Moves to a folder and re-lists; a folder that cannot be read leaves the list showing
    /// the last one that could. A change of path runs the change rule.
    /// Takes its own copy: callers pass entries of this very list, which the re-list replaces.
    void setPath(std::string path);
    /// The user opens a listed folder.
    bool userOpens(std::string path);

    std::function<void()> onChange;

private:
    FolderServices& services_;
    MessageBoxes& messages_;
    std::string path_;
    std::vector<std::string> entries_;
    std::size_t chainLength_ = 0;
};

/// The names of a folder's files that match a pattern, without the folder.
class FileList : public Control {
public:
    FileList(ControlOwner& window, std::string name, FolderServices& services, MessageBoxes& messages)
        : Control(window, std::move(name), ControlKind::FileList), services_(services), messages_(messages) {}

    const std::string& path() const { return path_; }
    const std::string& pattern() const { return pattern_; }
    const std::string& selected() const { return selected_; }
    const std::vector<std::string>& entries() const { return entries_; }

    /// Each re-lists the folder and clears the selection.
    void setPath(std::string path);
    void setPattern(std::string pattern);

    bool userPicks(const std::string& name);
    bool userDoubleClicks(std::string name);

    std::function<void()> onDblClick;

private:
    void relist(std::string path);

    FolderServices& services_;
    MessageBoxes& messages_;
    std::string path_;
    std::string pattern_ = "*.*";
    std::string selected_;
    std::vector<std::string> entries_;
};

}  // namespace mapfeed

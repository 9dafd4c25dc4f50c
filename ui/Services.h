#pragma once

#include <memory>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "job/ConverterCommand.h"

namespace mapfeed {

enum class MessageButtons { Ok, OkCancel };
enum class MessageAnswer { Ok, Cancel };

/// The program's title in every message box.
inline constexpr const char* kMessageTitle = "Mapfeed";
/// How the messages say that a file system did not answer in time.
inline constexpr const char* kDoesNotAnswer = " does not answer (a network share that is slow or out of reach?)";

/// One open-file dialog instance; it keeps the settings last given to it between clicks.
struct OpenFileDialog {
    std::string name;          // CommonDialog1 or CommonDialog2
    std::string title;         // its title bar: what is being chosen
    std::string initialDir;    // empty: none given yet
    /// The file it opens on, as the field names it: the dialog starts in its folder with it
    /// chosen, ahead of `initialDir`. Empty: none.
    std::string fileName;
    int flags = 0;
    std::string filter;        // label|pattern|label|pattern…
    int filterIndex = 0;       // counted from 1
};

/// What a folder holds, for the Browse window's lists: names only, sorted, without the names
/// that begin with "." (hidden on this platform).
struct FolderContents {
    std::vector<std::string> folders;
    std::vector<std::string> files;  // regular files, and links to them
};

/// What a look into a folder found: its contents, or why there are none. `NoAnswer`: its file
/// system did not answer in the time waited (a network share that is slow or out of reach);
/// `StillNoAnswer`: it has not answered an earlier look yet, so it was not waited for again.
enum class FolderFailure { None, Unreadable, NoAnswer, StillNoAnswer };
struct FolderRead {
    std::shared_ptr<const FolderContents> contents;  // nullptr exactly when there is a failure
    FolderFailure failure = FolderFailure::None;
};

/// The drives a user would browse, and the mounted volumes that did not answer in time.
struct DriveScan {
    std::vector<std::string> drives;  // the root folder first
    std::vector<std::string> silent;
};

/// What an existence test found. `NoAnswer`: the file system holding the path did not answer
/// in time (a network share that is slow or out of reach), so nothing is known of the file.
enum class FileCheck { Exists, Missing, NoAnswer };

struct StartResult {
    bool started = false;
    long taskId = 0;
    std::string error;  // why the start failed, for the user
};

/// Modal message boxes with the program's title.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    /// A modal message box with the program's title; returns the user's answer.
    virtual MessageAnswer messageBox(const std::string& text, MessageButtons buttons) = 0;
};

/// The open-file dialogs of the two "browse" buttons.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    /// Shows an open-file dialog modally; the chosen full path, or nothing on cancel or failure:
    /// a cancel always comes back as a failure, never as an empty name.
    virtual std::optional<std::string> showOpenFile(const OpenFileDialog& dialog) = 0;
    /// Makes an empty file at `path` when nothing is there yet; leaves anything that is there
    /// alone. Returns why it could not, or nothing.
    virtual std::optional<std::string> createEmptyFile(const std::string& path) = 0;
};

/// What "Apply" needs to test the files, start the converter and log the run.
class ConverterServices {
public:
    virtual ~ConverterServices() = default;
    /// Starts the converter as a new process without waiting for it: its arguments are
    /// `command.arguments`; the command line is what the run is known by.
    virtual StartResult startProcess(const ConverterCommand& command) = 0;
    /// Whether the path names a regular file that can be opened for reading, telling a file
    /// system that does not answer from a missing file.
    virtual FileCheck checkFile(const std::string& path) = 0;
    /// The current local date and time as the log writes it.
    virtual std::string dateTimeText() = 0;
    /// Appends one whole record to the run log; returns why it failed, or nothing.
    virtual std::optional<std::string> appendRunLog(const std::string& record) = 0;
};

/// The process environment and the end of the program.
class ProgramServices {
public:
    virtual ~ProgramServices() = default;
    /// The value of an environment variable, the empty string when it is not set.
    virtual std::string environment(const std::string& name) = 0;
    /// Ends the program at once.
    virtual void quit() = 0;
};

/// Drives, folders and files, for the Browse window.
class FolderServices {
public:
    virtual ~FolderServices() = default;
    /// The folder the program stands in.
    virtual std::string currentFolder() = 0;
    /// The drives a user would browse: the root folder first, then the mounted volumes that
    /// answer in time.
    virtual DriveScan drives() = 0;
    /// The folders and files of a folder, or why they cannot be had.
    virtual FolderRead readFolder(const std::string& path) = 0;
};

/// The names of the cells in a cell library, for the cell dialog's name field.
class CellLibraries {
public:
    virtual ~CellLibraries() = default;
    /// Reads the library at path without holding up the window and calls done with its cell
    /// names, at once or later, on the window's thread; with none when the file is no readable
    /// cell library or does not answer in time. done may be called after its asker is gone:
    /// it checks.
    virtual void readCellNames(const std::string& path, std::function<void(std::vector<std::string>)> done) = 0;
};

/// Everything the rules need from the world outside the model, one interface per concern so
/// that each window is handed only the ones it uses. The real one talks to Qt and the
/// operating system; tests and the scenario runner use one fake that records every call.
class Services : public MessageBoxes,
                 public FileDialogs,
                 public ConverterServices,
                 public ProgramServices,
                 public FolderServices,
                 public CellLibraries {};

}  // namespace mapfeed

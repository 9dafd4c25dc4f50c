#include "posix/PosixServices.h"

#include <cstdlib>
#include <ctime>

#include "dgn/CellLibrary.h"
#include "job/RunRecord.h"
#include "posix/PosixFiles.h"

namespace mapfeed::posix {

PosixServices::PosixServices(std::function<void()> whileWaiting) : whileWaiting_(std::move(whileWaiting)) {
    calls_.whileWaiting = [this] {
        if (whileWaiting_) whileWaiting_();
    };
}

FileCheck PosixServices::checkFile(const std::string& path) {
    const auto found = calls_.run("file:" + path, [path] { return posix::fileExists(path); });
    if (!found.value) return FileCheck::NoAnswer;
    return *found.value ? FileCheck::Exists : FileCheck::Missing;
}

std::optional<std::uint64_t> PosixServices::fileSize(const std::string& path) {
    const auto size = calls_.run("file:" + path, [path] { return posix::regularFileSize(path); });
    return size.value ? *size.value : std::nullopt;
}

std::optional<std::string> PosixServices::createEmptyFile(const std::string& path) {
    const auto made = calls_.run("file:" + path, [path] { return posix::createEmptyFile(path); });
    if (!made.value) return std::string("the folder it is in") + kDoesNotAnswer;
    return *made.value;
}

std::string PosixServices::environment(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value ? value : "";
}

std::string PosixServices::dateTimeText() { return localDateTimeText(std::time(nullptr)); }

std::optional<std::string> PosixServices::appendRunLog(const std::string& record) {
    return appendRecord(kRunLogName, record, calls_.whileWaiting);
}

std::string PosixServices::currentFolder() { return posix::currentFolder(); }

DriveScan PosixServices::drives() {
    // Every volume is asked at once, and all get the same time to answer.
    const std::vector<std::string> volumes = mountedVolumes();
    std::vector<std::optional<std::future<bool>>> answers;
    for (const std::string& volume : volumes)
        answers.push_back(calls_.launch("folder:" + volume, [volume] { return canEnter(volume); }));
    const auto deadline = BoundedCalls::Clock::now() + calls_.patience;
    DriveScan scan{{"/"}, {}};
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        if (answers[i] && calls_.await(*answers[i], deadline)) {
            if (answers[i]->get()) scan.drives.push_back(volumes[i]);
        } else {
            scan.silent.push_back(volumes[i]);
        }
    }
    return scan;
}

FolderRead PosixServices::readFolder(const std::string& path) {
    auto contents = calls_.run("folder:" + path, [folders = folders_, path] { return folders->read(path); });
    if (!contents.value) return {nullptr, contents.overran ? FolderFailure::NoAnswer : FolderFailure::StillNoAnswer};
    if (!*contents.value) return {nullptr, FolderFailure::Unreadable};
    return {*contents.value, FolderFailure::None};
}

bool PosixServices::folderAnswers(const std::string& folder) {
    // Only whether it answers: what it holds, the dialog finds out itself.
    const auto answered = calls_.run("folder:" + folder, [folder] {
        canEnter(folder);
        return true;
    });
    return answered.value.has_value();
}

std::optional<std::future<std::vector<std::string>>> PosixServices::startReadingCellNames(const std::string& path) {
    return calls_.launch("cells:" + path, [path] { return dgn::readCellLibrary(path).names; });
}

std::vector<std::string> PosixServices::cellNames(const std::string& path) {
    auto names = calls_.run("cells:" + path, [path] { return dgn::readCellLibrary(path).names; });
    return names.value ? std::move(*names.value) : std::vector<std::string>{};
}

}  // namespace mapfeed::posix

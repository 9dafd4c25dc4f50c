#include "platform/posix/PosixServices.h"

#include <cstdlib>
#include <ctime>

#include "job/RunRecord.h"
#include "platform/posix/PosixFiles.h"
#include "platform/posix/ProcessStart.h"

namespace mapfeed::posix {

namespace {

const std::string kNotAnswering = " does not answer (a network share that is slow or out of reach?)";

}  // namespace

PosixServices::PosixServices() {
    calls_.whileWaiting = [this] { keepAnswering(); };
}

StartResult PosixServices::startProcess(const ConverterCommand& command) {
    const Spawned spawned = spawnDetached(command.arguments);
    return {spawned.started, spawned.pid, spawned.error};
}

FileCheck PosixServices::checkFile(const std::string& path) {
    const auto found = calls_.run("file:" + path, [path] { return posix::fileExists(path); });
    if (!found.value) return FileCheck::NoAnswer;
    return *found.value ? FileCheck::Exists : FileCheck::Missing;
}

bool PosixServices::fileExists(const std::string& path) { return checkFile(path) == FileCheck::Exists; }

std::string PosixServices::environment(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value ? value : "";
}

std::string PosixServices::dateTimeText() { return localDateTimeText(std::time(nullptr)); }

std::optional<std::string> PosixServices::appendRunLog(const std::string& record) {
    return appendRecord(kRunLogName, record, [this] { keepAnswering(); });
}

std::string PosixServices::currentFolder() { return posix::currentFolder(); }

std::vector<std::string> PosixServices::drives() {
    // Every volume is asked at once, and all get the same time to answer.
    const std::vector<std::string> volumes = mountedVolumes();
    std::vector<std::optional<std::future<bool>>> answers;
    for (const std::string& volume : volumes)
        answers.push_back(calls_.launch("folder:" + volume, [volume] { return canEnter(volume); }));
    const auto deadline = BoundedCalls::Clock::now() + calls_.patience;
    std::vector<std::string> found{"/"};
    std::string silent;
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        if (answers[i] && calls_.await(*answers[i], deadline)) {
            if (answers[i]->get()) found.push_back(volumes[i]);
        } else {
            silent += (silent.empty() ? "" : ", ") + volumes[i];
        }
    }
    if (!silent.empty())
        messageBox("The drive " + silent + kNotAnswering + " and is left out of the list of drives.",
                   MessageButtons::Ok);
    return found;
}

std::shared_ptr<const FolderContents> PosixServices::readFolder(const std::string& path) {
    auto contents = calls_.run("folder:" + path, [folders = folders_, path] { return folders->read(path); });
    if (contents.value) return *contents.value;
    // Told once, when it was waited for; a folder still stuck is passed over in silence.
    if (contents.overran)
        messageBox("The folder " + path + kNotAnswering + "; the Browse window keeps showing the folder it showed.",
                   MessageButtons::Ok);
    return nullptr;
}

bool PosixServices::startFolderAnswers(const std::string& folder) {
    // Only whether it answers: what it holds, the dialog finds out itself.
    const auto answered = calls_.run("folder:" + folder, [folder] {
        canEnter(folder);
        return true;
    });
    if (answered.value) return true;
    messageBox("The project folder " + folder + kNotAnswering + "; the file dialog opens in another folder.",
               MessageButtons::Ok);
    return false;
}

}  // namespace mapfeed::posix

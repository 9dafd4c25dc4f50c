#include "platform/QtServices.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <cstdlib>
#include <ctime>

#include "job/ArgumentSplit.h"
#include "job/RunRecord.h"
#include "platform/FileDialogFilters.h"
#include "platform/QtHost.h"
#include "platform/posix/PosixFiles.h"
#include "platform/posix/ProcessStart.h"

namespace mapfeed {

MessageAnswer QtServices::messageBox(const std::string& text, MessageButtons buttons) {
    QMessageBox box(host_.activeView());
    box.setWindowTitle(kMessageTitle);
    box.setIcon(QMessageBox::NoIcon);
    box.setText(QString::fromStdString(text));
    if (buttons == MessageButtons::OkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
    }
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Cancel ? MessageAnswer::Cancel : MessageAnswer::Ok;
}

std::optional<std::string> QtServices::showOpenFile(const OpenFileDialog& settings) {
    QFileDialog dialog(host_.activeView());
    dialog.setObjectName(QString::fromStdString(settings.name));
    dialog.setWindowModality(Qt::WindowModal);
    // Qt's own dialog, so the filter labels, the start folder and the look are ours everywhere.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Whatever name the user gives is taken; "Apply" tests it later.
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!settings.initialDir.empty()) dialog.setDirectory(QString::fromStdString(settings.initialDir));
    const QStringList filters = nameFilters(settings.filter);
    dialog.setNameFilters(filters);
    if (settings.filterIndex >= 1 && settings.filterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(settings.filterIndex - 1));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst().toStdString();
}

StartResult QtServices::startProcess(const std::string& commandLine) {
    const posix::Spawned spawned = posix::spawnDetached(splitCommandLine(commandLine));
    return {spawned.started, spawned.pid, spawned.error};
}

bool QtServices::fileExists(const std::string& path) { return posix::fileExists(path); }

std::string QtServices::environment(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value ? value : "";
}

std::string QtServices::dateTimeText() { return posix::localDateTimeText(std::time(nullptr)); }

std::optional<std::string> QtServices::appendRunLog(const std::string& record) {
    return posix::appendRecord(kRunLogName, record);
}

void QtServices::quit() { QCoreApplication::exit(0); }

}  // namespace mapfeed

namespace mapfeed {

std::string QtServices::currentFolder() { return posix::currentFolder(); }

std::vector<std::string> QtServices::drives() { return posix::drives(); }

std::shared_ptr<const FolderContents> QtServices::readFolder(const std::string& path) { return folders_.read(path); }

}  // namespace mapfeed

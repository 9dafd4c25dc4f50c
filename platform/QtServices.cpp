#include "platform/QtServices.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>

#include "platform/FileDialogFilters.h"
#include "platform/FileNames.h"
#include "platform/JobPicture.h"
#include "platform/FilePicker.h"
#include "platform/QtHost.h"
#include "platform/RunStarter.h"
#include "platform/RunsWindow.h"

namespace mapfeed {

namespace {

constexpr const char* kUnreadableNameMessage =
    "The name of the chosen file is not valid text in this system's encoding and cannot be passed on unchanged. "
    "Rename the file, then choose it again.";

/// Qt's file dialog keeps its history, last folder and view in the user's "QtProject" settings
/// and reads them back at the next start. This program keeps nothing between runs, so Qt's
/// settings are pointed below /dev/null: no folder and no file can ever be made there, Qt reads
/// nothing back and its writes fail without leaving anything on disk.
void keepNoSettings() {
    static const bool pointed = [] {
        for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
            for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope})
                QSettings::setPath(format, scope, QStringLiteral("/dev/null/mapfeed-keeps-no-settings"));
        return true;
    }();
    (void)pointed;
}

}  // namespace

QtServices::QtServices(QtHost& host)
    // Painting and the window system's questions only while a file system or the log's lock
    // is waited for: a click now would run a rule inside the rule that waits. User input waits
    // in the queue until the wait is over.
    : WithPosixServices([] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }), host_(host) {}

bool QtServices::folderAnswers(const std::string& folder) {
    if (posix_.folderAnswers(folder)) return true;
    messageBox("The project folder " + folder + kDoesNotAnswer + "; the file dialog opens in another folder.",
               MessageButtons::Ok);
    return false;
}

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
    keepNoSettings();
    FilePicker dialog(host_.activeView());
    dialog.setObjectName(QString::fromStdString(settings.name));
    dialog.setWindowTitle(QString::fromStdString(settings.title));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Whatever name the user gives is taken; "Apply" tests it later.
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = nameFilters(settings.filter);
    dialog.setNameFilters(filters);
    if (settings.filterIndex >= 1 && settings.filterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(settings.filterIndex - 1));
    if (!openOnFieldFile(dialog, settings.fileName) && !settings.initialDir.empty() &&
        folderAnswers(settings.initialDir)) {
        // A project given as a file opens in its folder with that file chosen.
        const QString start = QString::fromStdString(settings.initialDir);
        const QFileInfo file(start);
        if (file.isFile()) {
            dialog.setDirectory(file.absolutePath());
            dialog.selectFile(file.absoluteFilePath());
        } else {
            dialog.setDirectory(start);
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.chosen().isEmpty()) return std::nullopt;
    const QString chosen = dialog.chosen();
    if (!isFaithfulFileName(chosen)) {
        messageBox(kUnreadableNameMessage, MessageButtons::Ok);
        return std::nullopt;
    }
    return QFile::encodeName(chosen).toStdString();
}

bool QtServices::openOnFieldFile(QFileDialog& dialog, const std::string& fileName) {
    if (fileName.empty()) return false;
    // Relative to the current folder, as "Apply" tests it; a folder that does not answer in
    // time is passed over for the project folder.
    const QFileInfo file(QFile::decodeName(QByteArray::fromStdString(fileName)));
    const QString folder = file.absolutePath();
    if (!posix_.folderAnswers(QFile::encodeName(folder).toStdString()) || !QFileInfo(folder).isDir()) return false;
    if (file.isDir()) {
        dialog.setDirectory(file.absoluteFilePath());
        return true;
    }
    dialog.setDirectory(folder);
    dialog.selectFile(file.fileName());
    return true;
}

QtServices::~QtServices() {
    delete window_.data();
}

StartResult QtServices::startProcess(const ConverterCommand& command) {
    if (!runs_) {
        runs_ = std::make_unique<RunStarter>();
        window_ = new RunsWindow(*runs_, [this](QWidget& window) { host_.placeBesideMain(window, QSize(360, 240)); });
        runs_->onStarted = [this](int id) { if (window_) window_->started(id); };
        runs_->onOutput = [this](int id) { if (window_) window_->outputArrived(id); };
        runs_->onEnded = [this](int id) {
            if (window_) window_->ended(id);
            if (JobPicture* picture = host_.existingJobPicture())
                if (const Run* run = runs_->history().find(id)) picture->runEnded(*run);
        };
        runs_->designEnd = [this](const std::string& path) -> std::optional<std::uint64_t> {
            if (JobPicture* picture = host_.existingJobPicture())
                if (const auto known = picture->knownEnd(path)) return known;
            // Without a reading of the file: the converter appends where its end marker stands,
            // which a file it wrote last has as its last word. Looked at off the window's
            // thread, as "Apply" looked at the file just before.
            const auto size = posix_.fileSize(path);
            if (!size) return std::nullopt;
            return *size >= 2 ? *size - 2 : 0;
        };
        window_->onShowPicture = [this](const Run& run) { host_.jobPicture().showRun(run); };
    }
    return runs_->start(command);
}

void QtServices::quit() { QCoreApplication::exit(0); }

}  // namespace mapfeed

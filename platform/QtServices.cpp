#include "platform/QtServices.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QFile>
#include <QMessageBox>

#include "platform/FileDialogFilters.h"
#include "platform/FileNames.h"
#include "platform/QtHost.h"

namespace mapfeed {

namespace {

constexpr const char* kUnreadableNameMessage =
    "The name of the chosen file is not valid text in this system's encoding and cannot be passed on unchanged. "
    "Rename the file, then choose it again.";

}  // namespace

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
    if (!settings.initialDir.empty() && startFolderAnswers(settings.initialDir))
        dialog.setDirectory(QString::fromStdString(settings.initialDir));
    const QStringList filters = nameFilters(settings.filter);
    dialog.setNameFilters(filters);
    if (settings.filterIndex >= 1 && settings.filterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(settings.filterIndex - 1));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString chosen = dialog.selectedFiles().constFirst();
    if (!isFaithfulFileName(chosen)) {
        messageBox(kUnreadableNameMessage, MessageButtons::Ok);
        return std::nullopt;
    }
    return QFile::encodeName(chosen).toStdString();
}

void QtServices::quit() { QCoreApplication::exit(0); }

void QtServices::keepAnswering() {
    // Painting and the window system's questions only: a click now would run a rule inside
    // the rule that waits. User input waits in the queue until the wait is over.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace mapfeed

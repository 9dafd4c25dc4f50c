#include "platform/FilePicker.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QTreeView>

namespace mapfeed {

FilePicker::FilePicker(QWidget* parent) : QFileDialog(parent) {
    // Qt's own dialog, so the filter labels, the start folder and the look are ours everywhere.
    setOption(QFileDialog::DontUseNativeDialog);
    // The details view: the name takes the room the size, type and date leave it, and those
    // three are as wide as what they show, never cut to "244…tes".
    if (auto* details = findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
}

QString FilePicker::chosen() const {
    if (!typed_.isEmpty()) return typed_;
    const QStringList files = selectedFiles();
    return files.isEmpty() ? QString() : files.constFirst();
}

void FilePicker::accept() {
    auto* name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    const QString text = name ? name->text() : QString();
    if (!text.contains(QLatin1Char('"'))) {
        QFileDialog::accept();
        return;
    }
    // One name, quotes and all, in the folder shown unless it is a path of its own.
    const QString path = QDir::cleanPath(directory().absoluteFilePath(text));
    if (QFileInfo(path).isDir()) {
        setDirectory(path);
        name->clear();
        return;
    }
    typed_ = path;
    QDialog::accept();
}

}  // namespace mapfeed

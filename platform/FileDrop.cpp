#include "platform/FileDrop.h"

#include <QApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include "platform/FileNames.h"

namespace mapfeed {

namespace {

constexpr const char* kFileFieldProperty = "mapfeedFileField";

/// Copy where the source offers it, else a link; never a move. Empty when neither is offered.
Qt::DropAction copyOrLink(Qt::DropActions offered) {
    if (offered & Qt::CopyAction) return Qt::CopyAction;
    if (offered & Qt::LinkAction) return Qt::LinkAction;
    return Qt::IgnoreAction;
}

class FileDropFilter : public QObject {
public:
    FileDropFilter(QLineEdit* field, std::function<void(const QString&)> drop) : QObject(field), drop_(std::move(drop)) {
        field->setAcceptDrops(true);
        field->setProperty(kFileFieldProperty, true);
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* drag = static_cast<QDropEvent*>(event);
                const Qt::DropAction action = copyOrLink(drag->possibleActions());
                if (action == Qt::IgnoreAction || droppedLocalFile(drag->mimeData()).isEmpty()) {
                    drag->ignore();
                } else {
                    drag->setDropAction(action);
                    drag->accept();
                }
                return true;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                const Qt::DropAction action = copyOrLink(drop->possibleActions());
                const QString file = droppedLocalFile(drop->mimeData());
                if (action == Qt::IgnoreAction || file.isEmpty() || !static_cast<QWidget*>(watched)->isEnabled()) {
                    drop->ignore();
                    return true;
                }
                drop->setDropAction(action);
                drop->accept();
                drop_(file);
                return true;
            }
            default: return false;
        }
    }

private:
    std::function<void(const QString&)> drop_;
};

/// Hands the line edit's own drop handling a copy of the drag in which local file URLs are
/// plain text holding their paths, offered as a copy only.
class UrlAsPathFilter : public QObject {
public:
    explicit UrlAsPathFilter(QLineEdit* field) : QObject(field) { field->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (forwarding_ || (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)) return false;
        auto* drag = static_cast<QDropEvent*>(event);
        const QMimeData* mime = drag->mimeData();
        if (!mime || !mime->hasUrls()) return false;
        QStringList paths;
        for (const QUrl& url : mime->urls()) {
            if (!url.isLocalFile()) return false;  // a remote URL stays what Qt makes of it
            paths << url.toLocalFile();
        }
        const Qt::DropAction action = copyOrLink(drag->possibleActions());
        if (action == Qt::IgnoreAction) {
            drag->ignore();
            return true;
        }
        QMimeData asText;
        asText.setText(paths.join(QLatin1Char(' ')));
        const Qt::DropActions offered = drag->possibleActions() & (Qt::CopyAction | Qt::LinkAction);
        forwarding_ = true;
        bool accepted = false;
        Qt::DropAction taken = Qt::IgnoreAction;
        if (type == QEvent::Drop) {
            QDropEvent copy(drag->position(), offered, &asText, drag->buttons(), drag->modifiers());
            QApplication::sendEvent(watched, &copy);
            accepted = copy.isAccepted();
            taken = copy.dropAction();
        } else if (type == QEvent::DragEnter) {
            QDragEnterEvent copy(drag->position().toPoint(), offered, &asText, drag->buttons(), drag->modifiers());
            QApplication::sendEvent(watched, &copy);
            accepted = copy.isAccepted();
            taken = copy.dropAction();
        } else {
            QDragMoveEvent copy(drag->position().toPoint(), offered, &asText, drag->buttons(), drag->modifiers());
            QApplication::sendEvent(watched, &copy);
            accepted = copy.isAccepted();
            taken = copy.dropAction();
        }
        forwarding_ = false;
        if (accepted && (taken == Qt::CopyAction || taken == Qt::LinkAction)) {
            drag->setDropAction(taken);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }

private:
    bool forwarding_ = false;
};

}  // namespace

QString droppedLocalFile(const QMimeData* mime) {
    if (!mime || !mime->hasUrls()) return {};
    const QList<QUrl> urls = mime->urls();
    if (urls.size() != 1 || !urls.constFirst().isLocalFile()) return {};
    const QString file = urls.constFirst().toLocalFile();
    // A name that would not survive the way to the command line is not taken at all.
    if (!isFaithfulFileName(file) || !QFileInfo(file).isFile()) return {};
    return file;
}

void acceptFileDrops(QLineEdit* field, std::function<void(const QString&)> drop) {
    new FileDropFilter(field, std::move(drop));
}

void dropUrlsAsPaths(QWidget& root) {
    for (QLineEdit* field : root.findChildren<QLineEdit*>())
        if (!field->property(kFileFieldProperty).toBool()) new UrlAsPathFilter(field);
}

}  // namespace mapfeed

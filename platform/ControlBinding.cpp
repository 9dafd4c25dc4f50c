#include "platform/ControlBinding.h"

#include <QCheckBox>
#include <QFile>
#include <limits>
#include <memory>
#include <utility>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QDropEvent>
#include <QUrl>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "app/Controls.h"
#include "platform/FileNames.h"
#include "platform/WindowView.h"

namespace mapfeed {

namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }
std::string model(const QString& text) { return text.toStdString(); }

/// Calls `hover` for every pointer move over the widget itself (for a frame: over its bare
/// surface only, not over a control inside it).
class HoverFilter : public QObject {
public:
    HoverFilter(QWidget* widget, std::function<void()> hover, bool bareSurfaceOnly)
        : QObject(widget), hover_(std::move(hover)), bareSurfaceOnly_(bareSurfaceOnly) {
        widget->setMouseTracking(true);
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseMove) {
            auto* widget = static_cast<QWidget*>(watched);
            const auto* move = static_cast<QMouseEvent*>(event);
            if (!bareSurfaceOnly_ || widget->childAt(move->position().toPoint()) == nullptr) hover_();
        }
        return false;
    }

private:
    std::function<void()> hover_;
    bool bareSurfaceOnly_;
};

/// Takes a file dropped from a file manager as one edit that replaces the field's text, the
/// way a pick in the open-file dialog does; Qt's own drop would insert the URL as text.
class FileDropFilter : public QObject {
public:
    FileDropFilter(QLineEdit* widget, std::function<void(const QString&)> drop)
        : QObject(widget), drop_(std::move(drop)) {
        widget->setAcceptDrops(true);
        widget->installEventFilter(this);
    }

    static QString localFile(const QMimeData* mime) {
        if (!mime || !mime->hasUrls() || mime->urls().isEmpty()) return {};
        const QUrl url = mime->urls().constFirst();
        if (!url.isLocalFile()) return {};
        // A name that would not survive the way to the command line is not taken at all.
        const QString file = url.toLocalFile();
        return isFaithfulFileName(file) ? file : QString();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* drag = static_cast<QDropEvent*>(event);
                if (localFile(drag->mimeData()).isEmpty()) return false;
                drag->acceptProposedAction();
                return true;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                const QString file = localFile(drop->mimeData());
                if (file.isEmpty() || !static_cast<QWidget*>(watched)->isEnabled()) return false;
                drop->acceptProposedAction();
                drop_(file);
                return true;
            }
            default: return false;
        }
    }

private:
    std::function<void(const QString&)> drop_;
};

/// Enter or Return on a button that has the focus clicks it, as Space does. Buttons are not
/// auto-default here, so that Enter in a field never presses a button the user did not choose.
class EnterClicksFilter : public QObject {
public:
    explicit EnterClicksFilter(QAbstractButton* button) : QObject(button), button_(button) {
        button->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        button_->click();
        return true;
    }

private:
    QAbstractButton* button_;
};

void applyFont(QWidget* widget, const Control& control) {
    QFont font = widget->font();
    font.setBold(control.bold);
    widget->setFont(font);
}

}  // namespace

void bindTextField(TextField& field, QLineEdit* widget) {
    // Paths can be long, and a silently shortened path names another file.
    widget->setMaxLength(std::numeric_limits<int>::max());
    QPointer<QLineEdit> guard(widget);
    // A name that is not valid UTF-8 (a file picked in Browse) is shown with replacement
    // characters; its bytes are kept, and typed back, while the field shows what they gave.
    auto bytes = std::make_shared<std::pair<QString, std::string>>();
    auto sync = [&field, guard, bytes] {
        if (!guard) return;
        if (model(qt(field.text())) != field.text()) *bytes = {qt(field.text()), field.text()};
        if (guard->text() != qt(field.text())) {
            const QSignalBlocker blocker(guard);
            guard->setText(qt(field.text()));
        }
        guard->setEnabled(field.enabled());
    };
    sync();
    field.onStateChanged = sync;
    QObject::connect(widget, &QLineEdit::textEdited, widget, [&field, sync, bytes](const QString& text) {
        field.userTypes(!bytes->second.empty() && text == bytes->first ? bytes->second : model(text));
        sync();
    });
    if (field.acceptsFileDrops)
        new FileDropFilter(widget, [&field, sync](const QString& file) {
            field.userTypes(QFile::encodeName(file).toStdString());
            sync();
        });
}

void bindList(ListBox& list, QComboBox* widget) {
    widget->setEditable(true);
    widget->setInsertPolicy(QComboBox::NoInsert);
    widget->setCompleter(nullptr);
    QPointer<QComboBox> guard(widget);
    auto sync = [&list, guard] {
        if (!guard) return;
        const QSignalBlocker blocker(guard);
        const auto& entries = list.entries();
        bool same = guard->count() == static_cast<int>(entries.size());
        for (int i = 0; same && i < guard->count(); ++i) same = guard->itemText(i) == qt(entries[i]);
        if (!same) {
            guard->clear();
            for (const std::string& entry : entries) guard->addItem(qt(entry));
        }
        if (guard->currentText() != qt(list.text())) guard->setEditText(qt(list.text()));
        guard->setEnabled(list.enabled());
    };
    sync();
    list.onStateChanged = sync;
    QObject::connect(widget, &QComboBox::activated, widget, [&list, guard, sync](int index) {
        if (!guard || index < 0) return;
        list.userPicks(model(guard->itemText(index)));
        sync();
    });
    QObject::connect(widget->lineEdit(), &QLineEdit::textEdited, widget, [&list, sync](const QString& text) {
        list.userTypes(model(text));
        sync();
    });
}

void bindButton(Button& button, QPushButton* widget) {
    widget->setText(qt(button.caption()));
    widget->setAutoDefault(false);
    QPointer<QPushButton> guard(widget);
    auto sync = [&button, guard] {
        if (!guard) return;
        guard->setEnabled(button.enabled());
        if (guard->font().bold() != button.captionBold()) applyFont(guard, button);
    };
    applyFont(widget, button);
    sync();
    button.onStateChanged = sync;
    QObject::connect(widget, &QPushButton::clicked, widget, [&button] { button.userClicks(); });
    new HoverFilter(widget, [&button] { button.userHovers(); }, false);
    new EnterClicksFilter(widget);
}

void bindCheckBox(CheckBox& box, QCheckBox* widget, QWidget* container) {
    QPointer<QCheckBox> guard(widget);
    QPointer<QWidget> holder(container);
    auto sync = [&box, guard, holder] {
        if (!guard) return;
        const QSignalBlocker blocker(guard);
        guard->setChecked(box.value() != 0);
        if (holder) holder->setEnabled(box.enabled());
    };
    sync();
    box.onStateChanged = sync;
    QObject::connect(widget, &QCheckBox::clicked, widget, [&box, sync] {
        box.userClicks();
        sync();
    });
}

void bindOptionButton(OptionButton& option, QRadioButton* widget) {
    // The model keeps the buttons of a frame exclusive; Qt's own exclusivity would fight it.
    widget->setAutoExclusive(false);
    widget->setText(qt(option.caption()));
    QPointer<QRadioButton> guard(widget);
    auto sync = [&option, guard] {
        if (!guard) return;
        const QSignalBlocker blocker(guard);
        guard->setChecked(option.selected());
        guard->setEnabled(option.enabled());
    };
    applyFont(widget, option);
    sync();
    option.onStateChanged = sync;
    QObject::connect(widget, &QRadioButton::clicked, widget, [&option, sync] {
        option.userClicks();
        sync();
    });
}

void bindLabel(Label& label, QLabel* widget) {
    QPointer<QLabel> guard(widget);
    auto sync = [&label, guard] {
        if (!guard) return;
        guard->setText(qt(label.caption()));
        guard->setEnabled(label.enabled());
        if (QWidget* named = guard->buddy()) named->setAccessibleName(accessibleNameFrom(guard->text()));
    };
    widget->setToolTip(qt(label.toolTip));
    applyFont(widget, label);
    sync();
    label.onStateChanged = sync;
}

void bindFrame(Frame& frame, QGroupBox* widget) {
    widget->setTitle(qt(frame.caption()));
    applyFont(widget, frame);
    new HoverFilter(widget, [&frame] { frame.userHovers(); }, true);
}

}  // namespace mapfeed

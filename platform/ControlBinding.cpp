#include "platform/ControlBinding.h"

#include <QButtonGroup>
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
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "ui/Controls.h"
#include "platform/Accessibility.h"
#include "platform/ControlLifetime.h"
#include "platform/FileDrop.h"
#include "platform/OfferBinding.h"

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
    auto sync = whileAlive(field, [&field, guard, bytes] {
        if (!guard) return;
        if (model(qt(field.text())) != field.text()) *bytes = {qt(field.text()), field.text()};
        if (guard->text() != qt(field.text())) {
            const QSignalBlocker blocker(guard);
            guard->setText(qt(field.text()));
        }
        guard->setEnabled(field.enabled());
    });
    sync();
    field.onStateChanged = sync;
    QObject::connect(widget, &QLineEdit::textEdited, widget, whileAlive(field, [&field, sync, bytes](const QString& text) {
        field.userTypes(!bytes->second.empty() && text == bytes->first ? bytes->second : model(text));
        sync();
    }));
    if (field.acceptsFileDrops)
        acceptFileDrops(widget, whileAlive(field, [&field, sync](const QString& file) {
            field.userTypes(QFile::encodeName(file).toStdString());
            sync();
        }));
    if (field.onOffersWanted) bindOffers(field, widget);
}

// Only a user's pick of an entry may run a list's choice rule, and QComboBox reports as a pick
// (`activated`) whatever it takes for one. Besides a pick from the open list and the arrow keys,
// an editable QComboBox commits its edit text when the line edit finishes editing (focus out,
// also into the list's own popup as it opens, and Enter): if the text names an entry other than
// the current one, it makes that entry current and emits `activated`. So the current entry is
// kept on the entry the shown text names, always; then Qt finds nothing to commit, and the arrow
// keys and the popup start from what is shown.
void bindList(ListBox& list, QComboBox* widget) {
    widget->setEditable(true);
    widget->setInsertPolicy(QComboBox::NoInsert);
    widget->setCompleter(nullptr);
    QPointer<QComboBox> guard(widget);
    auto sync = whileAlive(list, [&list, guard] {
        if (!guard) return;
        const QSignalBlocker blocker(guard);
        const auto& entries = list.entries();
        bool same = guard->count() == static_cast<int>(entries.size());
        for (int i = 0; same && i < guard->count(); ++i) same = guard->itemText(i) == qt(entries[i]);
        if (!same) {
            guard->clear();
            for (const std::string& entry : entries) guard->addItem(qt(entry));
        }
        const QString text = qt(list.text());
        const int entry = guard->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (guard->currentText() != text) {
            // A rule's write: the entry it names becomes current, or none (which empties the
            // text part, so the text is written after it).
            guard->setCurrentIndex(entry);
            guard->setEditText(text);
        } else if (entry >= 0 && guard->currentIndex() != entry) {
            // Typed: the text part already shows it and keeps its cursor and undo steps.
            guard->setCurrentIndex(entry);
        }
        guard->setEnabled(list.enabled());
    });
    sync();
    list.onStateChanged = sync;
    QObject::connect(widget, &QComboBox::activated, widget, whileAlive(list, [&list, guard, sync](int index) {
        if (!guard || index < 0) return;
        list.userPicks(model(guard->itemText(index)));
        sync();
    }));
    QObject::connect(widget->lineEdit(), &QLineEdit::textEdited, widget, whileAlive(list, [&list, sync](const QString& text) {
        list.userTypes(model(text));
        sync();
    }));
}

void bindButton(Button& button, QPushButton* widget) {
    widget->setText(qt(button.caption()));
    widget->setAutoDefault(false);
    QPointer<QPushButton> guard(widget);
    auto sync = whileAlive(button, [&button, guard] {
        if (!guard) return;
        guard->setEnabled(button.enabled());
        if (guard->font().bold() != button.captionBold()) applyFont(guard, button);
    });
    applyFont(widget, button);
    sync();
    button.onStateChanged = sync;
    QObject::connect(widget, &QPushButton::clicked, widget, whileAlive(button, [&button] { button.userClicks(); }));
    new HoverFilter(widget, whileAlive(button, [&button] { button.userHovers(); }), false);
    new EnterClicksFilter(widget);
}

void bindCheckBox(CheckBox& box, QCheckBox* widget, QWidget* container) {
    QPointer<QCheckBox> guard(widget);
    QPointer<QWidget> holder(container);
    auto sync = whileAlive(box, [&box, guard, holder] {
        if (!guard) return;
        const QSignalBlocker blocker(guard);
        guard->setChecked(box.value() != 0);
        if (holder) holder->setEnabled(box.enabled());
    });
    sync();
    box.onStateChanged = sync;
    QObject::connect(widget, &QCheckBox::clicked, widget, whileAlive(box, [&box, sync] {
        box.userClicks();
        sync();
    }));
}

void bindOptionButton(OptionButton& option, QRadioButton* widget) {
    widget->setText(qt(option.caption()));
    QPointer<QRadioButton> guard(widget);
    auto sync = whileAlive(option, [&option, guard] {
        if (!guard) return;
        const QSignalBlocker blocker(guard);
        if (option.selected()) {
            // In an exclusive group this unchecks the other button, as the model did.
            guard->setChecked(true);
        } else if (guard->isChecked()) {
            // An exclusive group keeps its checked button checked; the model may hold none.
            QButtonGroup* group = guard->group();
            if (group) group->setExclusive(false);
            guard->setChecked(false);
            if (group) group->setExclusive(true);
        }
        guard->setEnabled(option.enabled());
    });
    applyFont(widget, option);
    sync();
    option.onStateChanged = sync;
    QObject::connect(widget, &QRadioButton::clicked, widget, whileAlive(option, [&option, sync] {
        option.userClicks();
        sync();
    }));
}

void bindLabel(Label& label, QLabel* widget) {
    QPointer<QLabel> guard(widget);
    auto sync = whileAlive(label, [&label, guard] {
        if (!guard) return;
        guard->setText(qt(label.caption()));
        guard->setEnabled(label.enabled());
        if (QWidget* named = guard->buddy()) named->setAccessibleName(accessibleNameFrom(guard->text()));
    });
    widget->setToolTip(qt(label.toolTip));
    applyFont(widget, label);
    sync();
    label.onStateChanged = sync;
}

void bindFrame(Frame& frame, QGroupBox* widget) {
    widget->setTitle(qt(frame.caption()));
    applyFont(widget, frame);
    new HoverFilter(widget, whileAlive(frame, [&frame] { frame.userHovers(); }), true);
}

}  // namespace mapfeed

#include "tests/runner/widgets/WidgetDriver.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QCompleter>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <QTextEdit>
#include <QThread>
#include <QWindow>

#include "app/Application.h"
#include "browse/BrowseLists.h"
#include "platform/VisibleText.h"
#include "platform/JobPicture.h"
#include "platform/PictureWindow.h"
#include "tests/runner/Transcript.h"
#include "tests/runner/widgets/UserInput.h"

namespace mapfeed::scenario {

namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }

std::string flag(bool value) { return value ? "1" : "0"; }

/// The text a widget shows, as the model's bytes when it shows exactly what the model holds
/// (bytes that are not UTF-8 cannot be shown as they are), else as the widget's own text.
std::string shownText(const QString& shown, const std::string& held) {
    return shown == qt(held) ? held : shown.toStdString();
}

QRect pixels(const Geometry& g) {
    return {twipsToPixels(g.left), twipsToPixels(g.top), twipsToPixels(g.width), twipsToPixels(g.height)};
}

/// The middle of a control's place in its window's layout, in the window's coordinates.
QPoint layoutCenter(const Control& control) {
    QPoint point = pixels(control.geometry).center();
    for (const Frame* frame = control.frame; frame; frame = frame->frame) point += pixels(frame->geometry).topLeft();
    return point;
}

bool within(const QWidget* inner, const QWidget* outer) {
    for (; inner; inner = inner->parentWidget())
        if (inner == outer) return true;
    return false;
}

int rowOf(const QAbstractItemModel* model, const QString& text, int role) {
    for (int row = 0; row < model->rowCount(); ++row)
        if (model->index(row, 0).data(role).toString() == text) return row;
    return -1;
}

}  // namespace

WidgetDriver::WidgetDriver(std::function<void(const std::string&)> print, std::vector<std::string>& violations)
    : print_(std::move(print)),
      violations_(violations),
      host_(print_),
      world_(print_, host_.real()) {
    world_.onTrouble = [this](const std::string& what) { violation(what); };
    // "Apply" must start what the preview showed the user before the event.
    world_.onStart = [this](const std::string& commandLine) {
        if (visibleText(commandLine) != previewBefore_)
            violation("the started command differs from the preview shown before the event:\n  preview: " +
                      previewBefore_.toStdString() + "\n  started: " + visibleText(commandLine).toStdString());
    };
}

void WidgetDriver::attach(Application& app) {
    app_ = &app;
    host_.real().attach(app);
}

void WidgetDriver::violation(const std::string& what) {
    violations_.push_back(std::to_string(line_) + ": invariant: " + what);
}

WindowView* WidgetDriver::view(const Window& window) const { return host_.real().view(window); }

QWidget* WidgetDriver::widget(const Control& control) const {
    WindowView* v = view(control.window());
    return v ? v->widgetFor(control) : nullptr;
}

bool WidgetDriver::isShown(const Window& window) {
    WindowView* v = view(window);
    return v && v->isVisible();
}

bool WidgetDriver::isEnabled(const Control& control) {
    QWidget* w = widget(control);
    return w && w->isEnabled();
}

QString WidgetDriver::previewText() const {
    WindowView* v = app_ ? view(app_->mapfeed) : nullptr;
    if (!v) return {};
    QWidget* preview = v->findChild<QWidget*>(QStringLiteral("CommandPreview"));
    if (auto* line = qobject_cast<QLineEdit*>(preview)) return line->text();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(preview)) return plain->toPlainText();
    // The preview breaks its lines into blocks of their own; it shows every line break of the
    // command as a symbol, so each one in its text is a break of its own.
    if (auto* rich = qobject_cast<QTextEdit*>(preview)) return rich->toPlainText().remove(QLatin1Char('\n'));
    if (auto* label = qobject_cast<QLabel*>(preview)) return label->text();
    return {};
}

void WidgetDriver::lineStarts(int line) {
    line_ = line;
    previewBefore_ = previewText();
}

void WidgetDriver::lineEnded(int) {
    user::settle();
    const QString shown = previewText();
    const QString composed = visibleText(app_->mapfeed.previewCommandLine());
    if (shown != composed)
        violation("the preview differs from what Apply would start:\n  preview: " + shown.toStdString() +
                  "\n  Apply:   " + composed.toStdString());
    checkListPositions();
}

void WidgetDriver::checkListPositions() {
    // A list that shows one of its entries has that entry current, so the arrow keys and the
    // open list start from it and leaving the list commits nothing.
    for (Window* window : app_->windows())
        for (const Control* control : window->controls()) {
            auto* combo = qobject_cast<QComboBox*>(widget(*control));
            if (!combo || !combo->isEditable()) continue;
            const int named = combo->findText(combo->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (named >= 0 && combo->currentIndex() != named)
                violation(window->name() + "." + control->name() + " shows entry " + std::to_string(named) +
                          " but its current entry is " + std::to_string(combo->currentIndex()));
        }
}

void WidgetDriver::expectHit(const Control& control, QWidget* hit) {
    QWidget* target = widget(control);
    // A check box is its box and its caption beside it.
    if (control.kind() == ControlKind::CheckBox && target) target = target->parentWidget();
    if (!within(hit, target))
        violation("a click in the place of " + control.window().name() + "." + control.name() + " reached " +
                  (hit ? hit->objectName().toStdString() + " (" + hit->metaObject()->className() + ")" : "nothing"));
}

QWidget* WidgetDriver::clickInto(Control& control) {
    WindowView* v = view(control.window());
    QWidget* w = widget(control);
    QPoint point = layoutCenter(control);
    // A list's text part is the field left of its arrow.
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit())
        point = combo->lineEdit()->mapTo(v, combo->lineEdit()->rect().center());
    expectHit(control, user::clickAt(v, point));
    return w;
}

void WidgetDriver::type(Control& control, const std::string& text) {
    QWidget* w = clickInto(control);
    user::replaceText(w, qt(text));
}

void WidgetDriver::startKeys(Control& control) {
    QWidget* w = clickInto(control);
    user::press(w, Qt::Key_End);
}

void WidgetDriver::typeCharacter(Control& control, const std::string& character) {
    user::typeCharacter(widget(control), qt(character));
}

void WidgetDriver::pick(Control& control, const std::string& entry) {
    WindowView* v = view(control.window());
    QWidget* w = widget(control);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        // Open the list with a click on its arrow, then choose with the keyboard.
        QPoint arrow = combo->rect().center();
        if (QLineEdit* edit = combo->lineEdit()) arrow.setX((edit->geometry().right() + combo->width()) / 2);
        expectHit(control, user::clickAt(v, combo->mapTo(v, arrow)));
        QAbstractItemView* list = combo->view();
        if (!list->isVisible()) {
            violation("a click on the arrow of " + control.name() + " did not open its list");
            combo->showPopup();
        }
        const int row = combo->findText(qt(entry), Qt::MatchExactly | Qt::MatchCaseSensitive);
        QTest::keyClick(list, Qt::Key_Home);
        for (int i = 0; i < row; ++i) QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
        if (list->isVisible()) {
            violation("Enter in the open list of " + control.name() + " left it open");
            combo->hidePopup();
        }
        return;
    }
    auto* items = qobject_cast<QListView*>(w);
    if (!items) return;
    // Folders are listed by their full paths in the tool tips; files by their names.
    const bool folders = control.kind() == ControlKind::FolderList;
    const int row = rowOf(items->model(), qt(entry), folders ? Qt::ToolTipRole : Qt::DisplayRole);
    if (row < 0) {
        violation(control.name() + " does not show " + entry);
        return;
    }
    const QModelIndex index = items->model()->index(row, 0);
    items->scrollTo(index);
    const QPoint point = items->viewport()->mapTo(v, items->visualRect(index).center());
    if (!folders) {
        expectHit(control, user::clickAt(v, point));
        return;
    }
    // A folder opens as the platform opens items: on a double click, or a single one.
    if (items->style()->styleHint(QStyle::SH_ItemView_ActivateItemOnSingleClick, nullptr, items))
        expectHit(control, user::clickAt(v, point));
    else
        expectHit(control, user::doubleClickAt(v, point));
}

void WidgetDriver::doubleClick(FileList& files, const std::string& name) {
    WindowView* v = view(files.window());
    auto* items = qobject_cast<QListView*>(widget(files));
    if (!items) return;
    const int row = rowOf(items->model(), qt(name), Qt::DisplayRole);
    if (row < 0) {
        violation(files.name() + " does not show " + name);
        return;
    }
    const QModelIndex index = items->model()->index(row, 0);
    items->scrollTo(index);
    expectHit(files, user::doubleClickAt(v, items->viewport()->mapTo(v, items->visualRect(index).center())));
}

void WidgetDriver::click(Control& control) {
    expectHit(control, user::clickAt(view(control.window()), layoutCenter(control)));
}

void WidgetDriver::hover(Control& control) {
    WindowView* v = view(control.window());
    if (control.kind() == ControlKind::Button) {
        user::moveTo(v, layoutCenter(control));
        return;
    }
    // A frame: a point of its bare surface, where no control lies.
    QWidget* frame = widget(control);
    for (int y = frame->height() - 3; y > 2; y -= 2)
        for (int x = 3; x < frame->width() - 3; x += 4)
            if (!frame->childAt(x, y)) {
                user::moveTo(v, frame->mapTo(v, QPoint(x, y)));
                return;
            }
    violation(control.name() + " has no bare surface to point at");
}

void WidgetDriver::close(Window& window) {
    WindowView* v = view(window);
    // What the window frame's close control sends.
    QCloseEvent event;
    if (QWindow* handle = v->windowHandle()) QApplication::sendEvent(handle, &event);
    else QApplication::sendEvent(v, &event);
}

std::string WidgetDriver::describe(const Control& control) {
    QWidget* w = widget(control);
    if (!w) return scenario::describe(control);
    const std::string line = control.window().name() + "." + control.name() + " ";
    const std::string enabled = " enabled=" + flag(w->isEnabled());
    switch (control.kind()) {
        case ControlKind::TextField: {
            const auto& field = static_cast<const TextField&>(control);
            auto* edit = static_cast<QLineEdit*>(w);
            // The offers as the line edit's completer holds them.
            std::vector<std::string> offers;
            if (const QCompleter* completer = edit->completer())
                for (int row = 0; row < completer->model()->rowCount(); ++row)
                    offers.push_back(completer->model()->index(row, 0).data().toString().toStdString());
            return line + "text=" + scenario::quoted(shownText(edit->text(), field.text())) + enabled + scenario::offered(offers);
        }
        case ControlKind::List: {
            const auto& list = static_cast<const ListBox&>(control);
            auto* combo = static_cast<QComboBox*>(w);
            std::string entries;
            for (int i = 0; i < combo->count(); ++i)
                entries += (entries.empty() ? "" : ",") + scenario::quoted(combo->itemText(i).toStdString());
            return line + "text=" + scenario::quoted(shownText(combo->currentText(), list.text())) + enabled + " entries=[" +
                   entries + "]";
        }
        case ControlKind::Button: {
            auto* button = static_cast<QPushButton*>(w);
            return line + "caption=" + scenario::quoted(button->text().toStdString()) + enabled +
                   " bold=" + flag(button->font().bold());
        }
        case ControlKind::CheckBox:
            return line + "value=" + flag(static_cast<QCheckBox*>(w)->isChecked()) + enabled;
        case ControlKind::OptionButton:
            return line + "selected=" + flag(static_cast<QAbstractButton*>(w)->isChecked()) + enabled;
        case ControlKind::Label:
            return line + "caption=" + scenario::quoted(static_cast<QLabel*>(w)->text().toStdString()) + enabled;
        case ControlKind::Frame:
            return line + "caption=" + scenario::quoted(static_cast<QGroupBox*>(w)->title().toStdString()) + enabled;
        case ControlKind::DriveList:
            return line + "drive=" + scenario::quoted(static_cast<QComboBox*>(w)->currentText().toStdString());
        case ControlKind::FolderList: {
            const auto& folders = static_cast<const FolderList&>(control);
            // The open folder is the current entry; its full path is its tool tip.
            const QModelIndex current = static_cast<QListView*>(w)->currentIndex();
            return line + "path=" + scenario::quoted(shownText(current.data(Qt::ToolTipRole).toString(), folders.path()));
        }
        case ControlKind::FileList: {
            const auto& files = static_cast<const FileList&>(control);
            auto* items = static_cast<QListView*>(w);
            std::string entries;
            const int held = static_cast<int>(files.entries().size());
            for (int row = 0; row < items->model()->rowCount(); ++row) {
                const QString name = items->model()->index(row, 0).data().toString();
                entries += (entries.empty() ? "" : ",") +
                           scenario::quoted(row < held ? shownText(name, files.entries()[row]) : name.toStdString());
            }
            const QModelIndexList picked = items->selectionModel()->selectedIndexes();
            const std::string selected =
                picked.isEmpty() ? "" : shownText(picked.constFirst().data().toString(), files.selected());
            // The list does not show its folder or pattern; those are the model's.
            return line + "path=" + scenario::quoted(files.path()) + " pattern=" + scenario::quoted(files.pattern()) +
                   " selected=" + scenario::quoted(selected) + " entries=[" + entries + "]";
        }
    }
    return line;
}

std::string WidgetDriver::savePicture(const std::string& file, const std::string& shownAs) {
    // Opened as a user opens it; saved once it shows the job as it stands, all reading done.
    JobPicture& picture = host_.real().jobPicture();
    picture.show();
    QElapsedTimer waited;
    waited.start();
    while (!picture.current() || picture.window()->drawing().isNull()) {
        if (waited.elapsed() > 20000) {
            violation("the picture was not drawn within 20 s");
            return "picture " + shownAs + " not drawn";
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    const QImage drawing = picture.window()->drawing();
    if (!drawing.save(QString::fromStdString(file), "PNG")) violation("the picture could not be saved as " + file);
    return "picture " + shownAs + " " + std::to_string(drawing.width()) + "x" + std::to_string(drawing.height());
}

}  // namespace mapfeed::scenario

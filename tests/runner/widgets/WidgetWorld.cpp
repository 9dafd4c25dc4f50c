#include "tests/runner/widgets/WidgetWorld.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "tests/runner/Transcript.h"
#include "tests/runner/widgets/UserInput.h"

namespace mapfeed::scenario {

WidgetWorld::WidgetWorld(std::function<void(const std::string&)> print, QtHost& host)
    : ScenarioWorld(std::move(print)), real_(host) {
    qApp->installEventFilter(this);
}

WidgetWorld::~WidgetWorld() { qApp->removeEventFilter(this); }

MessageAnswer WidgetWorld::messageBox(const std::string& text, MessageButtons buttons) {
    return real_.messageBox(text, buttons);
}

std::optional<std::string> WidgetWorld::showOpenFile(const OpenFileDialog& dialog) {
    lastDialog_ = dialog;
    std::optional<std::string> chosen = real_.showOpenFile(dialog);
    print(chosen ? "  -> " + scenario::quoted(*chosen) : "  -> cancel");
    return chosen;
}

StartResult WidgetWorld::startProcess(const ConverterCommand& command) {
    if (onStart) onStart(command.commandLine);
    return ScenarioWorld::startProcess(command);
}

bool WidgetWorld::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Show) return false;
    // Answered once the box runs its own event loop, as a person would answer it.
    if (auto* box = qobject_cast<QMessageBox*>(watched)) {
        QTimer::singleShot(0, box, [this, box] { answer(box); });
    } else if (auto* dialog = qobject_cast<QFileDialog*>(watched)) {
        QTimer::singleShot(0, dialog, [this, dialog] { answer(dialog); });
    }
    return false;
}

void WidgetWorld::answer(QMessageBox* box) {
    const bool okCancel = box->button(QMessageBox::Cancel) != nullptr;
    const MessageAnswer answer = answerMessage(box->text().toStdString(), okCancel);
    QAbstractButton* button = box->button(answer == MessageAnswer::Ok ? QMessageBox::Ok : QMessageBox::Cancel);
    if (!button) {
        if (onTrouble) onTrouble("the message box has no button for the answer");
        box->done(0);
        return;
    }
    QTest::mouseClick(button, Qt::LeftButton);
}

void WidgetWorld::answer(QFileDialog* dialog) {
    const std::optional<std::string> answer = answerFileDialog(dialog->objectName().toStdString(), lastDialog_);
    QPointer<QFileDialog> open(dialog);
    if (!answer) {
        user::press(dialog, Qt::Key_Escape);
    } else {
        // The name is typed into the dialog's own name field, then Enter.
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!name) {
            if (onTrouble) onTrouble("the file dialog has no name field");
            dialog->reject();
            return;
        }
        // Typed as a user types: into the field that has the focus of the active dialog. Qt
        // drops the file chosen at the opening from its selection only then; typed into a
        // field without the focus, the name would lose to that file.
        user::activate(dialog);
        name->setFocus(Qt::OtherFocusReason);
        if (!name->hasFocus() && onTrouble) onTrouble("the file dialog's name field did not take the focus");
        user::replaceText(name, QString::fromStdString(*answer));
        user::press(name, Qt::Key_Return);
    }
    if (open && open->isVisible()) {
        if (onTrouble) onTrouble("the file dialog stayed open after its answer");
        open->reject();
    }
}

}  // namespace mapfeed::scenario

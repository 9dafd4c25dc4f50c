#include "platform/Accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>

namespace mapfeed {

QString accessibleNameFrom(const QString& caption) {
    QString name = caption.trimmed();
    if (name.endsWith(QLatin1Char(':'))) name.chop(1);
    return name;
}


namespace {

constexpr const char* kMainWindowProperty = "mapfeedMainWindow";

/// A drop-down list as Qt presents it (the popup list first, then the text part of an editable
/// one), but named by its accessible name: on this platform Qt names a list by its value, so
/// "File name pattern" or "Drives" would be read as "*.gen" or "/".
class NamedComboBox : public QAccessibleWidget {
public:
    explicit NamedComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && !box()->accessibleName().isEmpty()) return box()->accessibleName();
        if (t == QAccessible::Name || t == QAccessible::Value)
            return box()->isEditable() ? box()->lineEdit()->text() : box()->currentText();
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return box()->isEditable() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override {
        if (index == 0) return QAccessible::queryAccessibleInterface(box()->view());
        if (index == 1 && box()->isEditable()) return QAccessible::queryAccessibleInterface(box()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child) return -1;
        if (child->object() == box()->view()) return 0;
        if (box()->isEditable() && child->object() == box()->lineEdit()) return 1;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        if (box()->isEditable() && box()->lineEdit()->rect().contains(box()->lineEdit()->mapFromGlobal(QPoint(x, y))))
            return child(1);
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        if (QAbstractItemView* list = box()->view(); list && list->hasFocus())
            if (QAccessibleInterface* shown = QAccessible::queryAccessibleInterface(list)) return shown->focusChild();
        return nullptr;
    }

    QStringList actionNames() const override {
        return {QAccessibleActionInterface::showMenuAction(), QAccessibleActionInterface::pressAction()};
    }
    void doAction(const QString& action) override {
        if (action != QAccessibleActionInterface::showMenuAction() && action != QAccessibleActionInterface::pressAction())
            return;
        if (box()->view()->isVisible()) box()->hidePopup();
        else box()->showPopup();
    }

private:
    QComboBox* box() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* factory(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) return nullptr;
    if (className == QLatin1String("QComboBox")) return new NamedComboBox(static_cast<QComboBox*>(widget));
    // The window views are dialogs underneath (for Escape and the frame's close); the main
    // window is an ordinary top-level window and must be announced as one.
    if (className == QLatin1String("QDialog") && widget->property(kMainWindowProperty).toBool())
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}

}  // namespace

void installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
}

void markAsMainWindow(QWidget& view) {
    view.setProperty(kMainWindowProperty, true);
    // An interface made before the mark, while a screen reader was already listening, would
    // keep the dialog role; the next query makes the right one.
    if (QAccessible::isActive())
        if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(&view);
            made && made->role() != QAccessible::Window)
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

}  // namespace mapfeed

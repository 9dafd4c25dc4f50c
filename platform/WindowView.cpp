#include "platform/WindowView.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>
#include <map>

#include "ui/Window.h"
#include "browse/BrowseLists.h"
#include "platform/Accessibility.h"
#include "platform/BrowseBinding.h"
#include "platform/ControlAlignment.h"
#include "platform/ControlBinding.h"

namespace mapfeed {

namespace {

QRect pixels(const Geometry& g) {
    return {twipsToPixels(g.left), twipsToPixels(g.top), twipsToPixels(g.width), twipsToPixels(g.height)};
}

/// A caption that wraps like the classic check box caption and toggles its box on a click.
class CheckCaption : public QLabel {
public:
    CheckCaption(const QString& text, QCheckBox* box, QWidget* parent) : QLabel(text, parent), box_(box) {
        setWordWrap(true);
        setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        setBuddy(box);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) box_->click();
    }

private:
    QCheckBox* box_;
};

/// An option button whose whole layout box takes the click, as the classic option button did;
/// Qt's own takes it only on the circle and the caption's text.
class OptionButtonWidget : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

}  // namespace

int twipsToPixels(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

WindowView::WindowView(Window& window, std::function<void()> onFrameClose)
    : window_(window), onFrameClose_(std::move(onFrameClose)) {
    setWindowTitle(QString::fromStdString(window.title()));
    resize(twipsToPixels(window.clientWidth()), twipsToPixels(window.clientHeight()));
    build();
}

QWidget* WindowView::widgetFor(const Control& control) const {
    for (const auto& [c, widget] : widgets_)
        if (c == &control) return widget;
    return nullptr;
}

void WindowView::nameForScreenReaders() {
    for (Control* control : window_.controls()) {
        QWidget* widget = widgetFor(*control);
        if (!widget || !control->takesFocus()) continue;
        if (control->namedBy) {
            // The label stays the widget's buddy, so a changed caption renames it too.
            auto* label = qobject_cast<QLabel*>(widgetFor(*control->namedBy));
            if (label) {
                label->setBuddy(widget);
                widget->setAccessibleName(accessibleNameFrom(label->text()));
            }
        } else if (!control->accessibleName.empty()) {
            widget->setAccessibleName(QString::fromStdString(control->accessibleName));
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget); button && !button->text().isEmpty()) {
            widget->setAccessibleName(accessibleNameFrom(button->text()));
        }
    }
}

void WindowView::frameClose() {
    closing_ = true;
    if (onFrameClose_) onFrameClose_();
    closing_ = false;
}

void WindowView::closeEvent(QCloseEvent* event) {
    // The model ends the program or discards the window; the view follows what it says.
    event->ignore();
    frameClose();
}

void WindowView::reject() { frameClose(); }

void WindowView::build() {
    // The option buttons of a frame are one exclusive group: the arrow keys move between them
    // and select, as a screen reader expects of radio buttons.
    std::map<const Frame*, QButtonGroup*> optionGroups;
    for (Control* control : window_.controls()) {
        QWidget* parent = control->frame ? widgetFor(*control->frame) : this;
        QWidget* widget = nullptr;
        QWidget* focusWidget = nullptr;
        const QString name = QString::fromStdString(control->name());

        switch (control->kind()) {
            case ControlKind::TextField: widget = new QLineEdit(parent); break;
            case ControlKind::List: widget = new QComboBox(parent); break;
            case ControlKind::Button: widget = new QPushButton(parent); break;
            case ControlKind::CheckBox: {
                widget = new QWidget(parent);
                auto* box = new QCheckBox(widget);
                box->setObjectName(name);
                auto* layout = new QHBoxLayout(widget);
                layout->setContentsMargins(0, 0, 0, 0);
                layout->setSpacing(4);
                layout->addWidget(box, 0, Qt::AlignVCenter);
                auto& model = static_cast<CheckBox&>(*control);
                auto* caption = new CheckCaption(QString::fromStdString(model.caption()), box, widget);
                layout->addWidget(caption, 1);
                box->setAccessibleName(caption->text().trimmed());
                focusWidget = box;
                break;
            }
            case ControlKind::OptionButton: {
                auto* option = new OptionButtonWidget(parent);
                QButtonGroup*& group = optionGroups[control->frame];
                if (!group) {
                    group = new QButtonGroup(this);
                    group->setExclusive(true);
                }
                group->addButton(option);
                widget = option;
                break;
            }
            case ControlKind::Label: widget = new QLabel(parent); break;
            case ControlKind::Frame: widget = new QGroupBox(parent); break;
            case ControlKind::DriveList: widget = new QComboBox(parent); break;
            case ControlKind::FolderList:
            case ControlKind::FileList: widget = new QListView(parent); break;
        }
        if (!focusWidget) focusWidget = widget;
        widget->setObjectName(name);
        if (focusWidget != widget) widget->setObjectName(name + "Container");

        QFont font = widget->font();
        font.setBold(control->bold);
        font.setPointSizeF(control->pointSize);
        widget->setFont(font);
        widget->setGeometry(pixels(control->geometry));
        widgets_.emplace_back(control, focusWidget);
        if (focusWidget != widget) widgets_.emplace_back(nullptr, widget);

        switch (control->kind()) {
            case ControlKind::TextField: bindTextField(static_cast<TextField&>(*control), static_cast<QLineEdit*>(widget)); break;
            case ControlKind::List: bindList(static_cast<ListBox&>(*control), static_cast<QComboBox*>(widget)); break;
            case ControlKind::Button: bindButton(static_cast<Button&>(*control), static_cast<QPushButton*>(widget)); break;
            case ControlKind::CheckBox:
                bindCheckBox(static_cast<CheckBox&>(*control), static_cast<QCheckBox*>(focusWidget), widget);
                break;
            case ControlKind::OptionButton:
                bindOptionButton(static_cast<OptionButton&>(*control), static_cast<QRadioButton*>(widget));
                break;
            case ControlKind::Label: {
                auto* label = static_cast<QLabel*>(widget);
                label->setWordWrap(true);
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                bindLabel(static_cast<Label&>(*control), label);
                break;
            }
            case ControlKind::Frame: bindFrame(static_cast<Frame&>(*control), static_cast<QGroupBox*>(widget)); break;
            case ControlKind::DriveList:
                bindDriveList(static_cast<DriveList&>(*control), static_cast<QComboBox*>(widget));
                break;
            case ControlKind::FolderList:
                bindFolderList(static_cast<FolderList&>(*control), static_cast<QListView*>(widget));
                break;
            case ControlKind::FileList:
                bindFileList(static_cast<FileList&>(*control), static_cast<QListView*>(widget));
                break;
        }
        if (!control->takesFocus()) widget->setFocusPolicy(Qt::NoFocus);
    }

    nameForScreenReaders();
    alignControls(window_, [this](const Control& control) { return widgetFor(control); });

    QWidget* previous = nullptr;
    for (Control* control : window_.tabOrder()) {
        QWidget* widget = widgetFor(*control);
        if (!widget) continue;
        widget->setFocusPolicy(Qt::StrongFocus);
        if (previous) QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

}  // namespace mapfeed

#include "platform/QtHost.h"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QScreen>
#include <QShortcut>
#include <QWindow>
#include <algorithm>

#include "app/Application.h"
#include "platform/Accessibility.h"
#include "platform/AppIcon.h"
#include "platform/CommandPreview.h"
#include "platform/DialogPlacement.h"
#include "platform/FileDrop.h"
#include "platform/JobPicture.h"
#include "platform/PictureWindow.h"

namespace mapfeed {

/// Notes whether the user's last input came from the keyboard or from a pointer, so that a
/// window opened by a key shows where its focus is, as Qt does after Tab.
class LastInputWatcher : public QObject {
public:
    LastInputWatcher() { QCoreApplication::instance()->installEventFilter(this); }

    bool fromKeyboard() const { return fromKeyboard_; }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride: fromKeyboard_ = true; break;
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::TouchBegin:
            case QEvent::TabletPress: fromKeyboard_ = false; break;
            default: break;
        }
        return false;
    }

private:
    bool fromKeyboard_ = false;
};

namespace {

/// How wide a dialog must be for a window manager to show its whole title: the title in the
/// bold face of the desktop's font that title bars commonly use, centred in the title bar
/// between the window's icon and up to three buttons (which some window managers always draw),
/// so with the room of three title-bar squares on either side. The symbology dialogs are
/// narrower than their titles.
int widthForTitle(const QString& title) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setBold(true);
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(title) + 6 * (metrics.height() + 4);
}

/// A window with its frame, as the window manager drew it. Asking the window for its frame
/// margins fetches them; Qt's frame geometry can still be a dot just after the window is mapped.
QRect frameOf(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle ? window.geometry().marginsAdded(handle->frameMargins()) : window.frameGeometry();
}

}  // namespace

QtHost::QtHost() : lastInput_(std::make_unique<LastInputWatcher>()) { installAccessibility(); }

QtHost::~QtHost() {
    for (auto& [window, view] : views_)
        if (!isMain(*window)) view.reset();
    views_.clear();
}

WindowView* QtHost::view(const Window& window) const {
    const auto found = views_.find(&window);
    return found == views_.end() ? nullptr : found->second.get();
}

QWidget* QtHost::activeView() const {
    if (QWidget* active = QApplication::activeWindow()) return active;
    return app_ ? view(app_->mapfeed) : nullptr;
}

bool QtHost::isMain(const Window& window) const { return app_ && &window == &app_->mapfeed; }

void QtHost::created(Window& window) {
    Application* app = app_;
    auto owned = std::make_unique<WindowView>(window, [app, &window] {
        if (app) app->closeThroughFrame(window);
    });
    WindowView* view = owned.get();
    view->setWindowIcon(appIcon());
    dropUrlsAsPaths(*view);
    if (isMain(window)) {
        // An ordinary resizable top-level window; the controls keep their places.
        view->setWindowFlags(Qt::Window);
        markAsMainWindow(*view);
        addCommandPreview(*view, *app);
        // The picture of the job, from anywhere in the main window.
        auto* picture = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), view);
        QObject::connect(picture, &QShortcut::activated, view, [this] { jobPicture().show(); });
    } else {
        // A tool window of the main window: the window manager keeps it above its owner, and
        // a window of fixed size offers neither minimise nor maximise. A dialog narrower than
        // its title grows to the right; its controls keep their places.
        const QSize size(std::max(view->width(), widthForTitle(view->windowTitle())), view->height());
        view->setParent(app ? this->view(app->mapfeed) : nullptr,
                        Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        view->setFixedSize(size);
    }
    views_[&window] = std::move(owned);
}

void QtHost::placeBesideMain(QWidget& window, const QSize& least) {
    ownWindows_.emplace_back(&window);
    WindowView* main = app_ ? view(app_->mapfeed) : nullptr;
    if (!main || !main->isVisible()) return;
    const QRect owner = frameOf(*main);
    // No frame yet: the main window's frame is the best guess of its frame.
    const QSize decoration = owner.size() - main->geometry().size();
    QScreen* screen = main->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), window.size() * 4);
    std::vector<QRect> open;
    for (const auto& [model, other] : views_)
        if (other.get() != main && other->isVisible()) open.push_back(frameOf(*other));
    for (const QPointer<QWidget>& other : ownWindows_)
        if (other && other != &window && other->isVisible()) open.push_back(frameOf(*other));
    const QRect place = besideOwner(owner, window.size() + decoration, least + decoration, area, open);
    window.resize(place.size() - decoration);
    window.move(place.topLeft());
}

JobPicture& QtHost::jobPicture() {
    if (!picture_) {
        picture_ = std::make_unique<JobPicture>(*app_);
        // Beside the main window like the runs window, at its first showing.
        placeBesideMain(*picture_->window(), QSize(320, 240));
    }
    return *picture_;
}

void QtHost::placeDialog(WindowView& dialog) const {
    WindowView* main = app_ ? view(app_->mapfeed) : nullptr;
    if (!main || !main->isVisible()) return;
    const QRect owner = frameOf(*main);
    // The dialog has no frame yet; the main window's frame is the best guess of its size.
    const QSize frame = dialog.size() + (owner.size() - main->geometry().size());
    std::vector<QRect> open;
    for (const auto& [window, other] : views_)
        if (other.get() != main && other.get() != &dialog && other->isVisible()) open.push_back(frameOf(*other));
    for (const QPointer<QWidget>& other : ownWindows_)
        if (other && other->isVisible()) open.push_back(frameOf(*other));
    QScreen* screen = main->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), frame * 4);
    dialog.move(dialogPosition(owner, frame, area, open));
}

void QtHost::shown(Window& window) {
    WindowView* v = view(window);
    if (!v) return;
    if (!isMain(window) && !v->isVisible()) {
        // Opened for the first time: beside the main window; later: where the user left it.
        const auto left = placed_.find(&window);
        if (left == placed_.end()) placeDialog(*v);
        else v->move(left->second);
    }
    const bool fromKeyboard = lastInput_->fromKeyboard();
    v->show();
    v->raise();
    v->activateWindow();
    // A window takes its first focus when it first opens; later openings keep what it had.
    if (!focusedOnce_[&window]) {
        focusedOnce_[&window] = true;
        if (Control* first = window.initialFocus())
            if (QWidget* widget = v->widgetFor(*first)) widget->setFocus(Qt::OtherFocusReason);
    }
    // A window opened from the keyboard shows where its focus is at once, as after Tab; one
    // opened with the pointer shows it once the user reaches for the keyboard.
    v->setAttribute(Qt::WA_KeyboardFocusChange, fromKeyboard);
}

void QtHost::hidden(Window& window) {
    if (WindowView* v = view(window)) {
        if (!isMain(window) && v->isVisible()) placed_[&window] = v->pos();
        v->hide();
    }
}

void QtHost::discarded(Window& window) {
    focusedOnce_.erase(&window);
    placed_.erase(&window);
    const auto found = views_.find(&window);
    if (found == views_.end()) return;
    std::unique_ptr<WindowView> view = std::move(found->second);
    views_.erase(found);
    if (!view) return;  // went with the main window
    if (isMain(window)) {
        // The picture follows the main window's fields: it goes before them.
        picture_.reset();
        // Its dialogs are its children: they go first, each by its owner.
        for (auto& [other, dialog] : views_) dialog.reset();
    }
    view->hide();
    // The model window goes right after this call; its bindings go quiet with its controls.
    // Inside the view's own close request the view itself goes once that event is done.
    if (view->inOwnClose()) view.release()->deleteLater();
}

void QtHost::focusMoved(Window& window, Control& control) {
    if (WindowView* v = view(window))
        if (QWidget* widget = v->widgetFor(control)) {
            v->activateWindow();
            widget->setFocus(Qt::OtherFocusReason);
        }
}

}  // namespace mapfeed

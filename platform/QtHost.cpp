#include "platform/QtHost.h"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
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

/// The windows of the program in the order the user last activated them, so that a window
/// that goes hands the focus back to the one used before it, not to whichever the window
/// system picks (its owner, the main window, where Escape means "Close").
class ActivationOrder : public QObject {
public:
    ActivationOrder() {
        // Told of every window that takes the focus; tool windows get no activation events.
        connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* window) {
            if (!window) return;
            std::erase_if(order_, [&](const QPointer<QWindow>& w) { return !w || w == window; });
            order_.emplace_back(window);
        });
    }

    /// The window last active among those still shown other than `leaving` and `last`; else
    /// `last`. The main window comes last: with a dialog still open, Escape there means "Close".
    QWidget* latestShown(const QWidget* leaving, QWidget* last) const {
        const QWidgetList windows = QApplication::topLevelWidgets();
        const auto candidate = [&](const QWidget* window) { return window != leaving && window != last && window->isVisible(); };
        for (auto it = order_.rbegin(); it != order_.rend(); ++it)
            for (QWidget* window : windows)
                if (*it && window->windowHandle() == *it && candidate(window)) return window;
        return last;
    }

private:
    std::vector<QPointer<QWindow>> order_;
};

namespace {

/// Whether a window holds the keyboard focus. (A tool window counts as active whenever its
/// owner is, so `isActiveWindow` cannot tell.)
bool hasFocus(const QWidget& window) {
    return window.windowHandle() && QGuiApplication::focusWindow() == window.windowHandle();
}

/// How long a window manager may take to hand the focus on when a window goes.
constexpr int kFocusHandOverMs = 100;

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

QtHost::QtHost()
    : lastInput_(std::make_unique<LastInputWatcher>()), activations_(std::make_unique<ActivationOrder>()) {
    installAccessibility();
}

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
        // The picture of the job: a button in our strip below the frames, and ctrl+p anywhere
        // in the main window.
        auto* picture = new QPushButton(QStringLiteral("Picture"));
        picture->setObjectName(QStringLiteral("PictureCmd"));
        picture->setToolTip(QStringLiteral("The design file and the input as this job would convert it (Ctrl+P)"));
        picture->setAccessibleName(QStringLiteral("Picture of the job"));
        QObject::connect(picture, &QPushButton::clicked, view, [this] { jobPicture().show(); });
        auto* pictureKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), view);
        QObject::connect(pictureKey, &QShortcut::activated, view, [this] { jobPicture().show(); });
        addCommandPreview(*view, *app, picture);
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
    WindowView* main = app_ ? view(app_->mapfeed) : nullptr;
    if (!main || !main->isVisible()) return;
    const QRect owner = frameOf(*main);
    // No frame yet: the main window's frame is the best guess of its frame.
    const QSize decoration = owner.size() - main->geometry().size();
    QScreen* screen = main->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), window.size() * 4);
    const QRect place = besideOwner(owner, window.size() + decoration, least + decoration, area, otherWindows(window));
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

std::vector<QRect> QtHost::otherWindows(const QWidget& dialog) const {
    // Every window of ours on the screen: the dialogs, the converters' windows, the boxes.
    const QWidget* main = app_ ? view(app_->mapfeed) : nullptr;
    // A window the window manager has not told its frame yet is taken to have the main
    // window's frame, as a dialog about to open is.
    const QMargins mainFrame = main && main->windowHandle() ? main->windowHandle()->frameMargins() : QMargins();
    std::vector<QRect> others;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window == &dialog || window == main || !window->isVisible()) continue;
        const QWindow* handle = window->windowHandle();
        const bool framed = handle && !handle->frameMargins().isNull();
        others.push_back(framed ? frameOf(*window) : window->geometry().marginsAdded(mainFrame));
    }
    return others;
}

void QtHost::placeDialog(WindowView& dialog) const {
    WindowView* main = app_ ? view(app_->mapfeed) : nullptr;
    if (!main || !main->isVisible()) return;
    const QRect owner = frameOf(*main);
    // The dialog has no frame yet; the main window's frame is the best guess of its size.
    const QSize frame = dialog.size() + (owner.size() - main->geometry().size());
    // Where no side has room, the dialog would rather cover the main window's bare surface
    // than its controls and the command line.
    std::vector<QRect> controls;
    for (QWidget* child : main->findChildren<QWidget*>())
        if (child->isVisible() && !qobject_cast<QGroupBox*>(child) && child->parentWidget() &&
            (child->parentWidget() == main || qobject_cast<QGroupBox*>(child->parentWidget())))
            controls.emplace_back(child->mapToGlobal(QPoint(0, 0)), child->size());
    QScreen* screen = main->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), frame * 4);
    moveFrameTo(dialog, dialogPosition(owner, frame, area, otherWindows(dialog), controls));
}

void QtHost::moveFrameTo(WindowView& dialog, QPoint place) const {
    // Qt places a window's frame by the frame it knows of. A window shown and hidden again has
    // lost it on some platforms (X11), and would be placed by its inside: the main window's
    // frame stands in for its own.
    const auto shownBefore = focusedOnce_.find(&dialog.model());
    WindowView* main = app_ ? view(app_->mapfeed) : nullptr;
    const bool frameKnown = dialog.geometry().topLeft() != dialog.pos();
    if (shownBefore != focusedOnce_.end() && shownBefore->second && !frameKnown && main)
        place += main->geometry().topLeft() - main->pos();
    dialog.move(place);
}

void QtHost::placeMain(WindowView& main) const {
    // Whole on the screen, at the top left of its free area, leaving the most room beside it
    // for the dialogs. Before the first showing a window's position is that of its frame.
    if (QScreen* screen = main.screen()) main.move(screen->availableGeometry().topLeft());
}

void QtHost::shown(Window& window) {
    WindowView* v = view(window);
    if (!v) return;
    if (isMain(window) && !v->isVisible() && !v->testAttribute(Qt::WA_Moved)) placeMain(*v);
    if (!isMain(window) && !v->isVisible()) {
        // Opened for the first time: beside the main window; later: where the user left it,
        // unless another window of ours stands there now.
        const auto left = placed_.find(&window);
        WindowView* main = app_ ? view(app_->mapfeed) : nullptr;
        std::vector<QRect> others = otherWindows(*v);
        if (main && main->isVisible()) others.push_back(frameOf(*main));
        if (left != placed_.end() && isClearPlace(left->second, others)) moveFrameTo(*v, left->second.topLeft());
        else placeDialog(*v);
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

void QtHost::activateLatest(const QWidget& leaving) const {
    QWidget* main = app_ ? view(app_->mapfeed) : nullptr;
    QPointer<QWidget> next = activations_->latestShown(&leaving, main);
    if (!next || !next->isVisible()) return;
    next->raise();
    next->activateWindow();
    // Asked before the window goes, so that the window manager does not hand the focus to its
    // owner, the main window; asked again in case it did all the same.
    QTimer::singleShot(kFocusHandOverMs, next, [next] {
        if (next && next->isVisible() && !hasFocus(*next)) next->activateWindow();
    });
}

void QtHost::hidden(Window& window) {
    if (WindowView* v = view(window)) {
        const bool wasVisible = v->isVisible();
        if (!isMain(window) && wasVisible) placed_[&window] = frameOf(*v);
        // A window hidden by a rule of another (the main window's "Clear") leaves the focus be.
        if (hasFocus(*v)) activateLatest(*v);
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
    if (hasFocus(*view) && !isMain(window)) activateLatest(*view);
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

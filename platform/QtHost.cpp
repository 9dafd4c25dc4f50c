#include "platform/QtHost.h"

#include <QApplication>

#include "app/Application.h"
#include "platform/AppIcon.h"
#include "platform/CommandPreview.h"

namespace mapfeed {

QtHost::~QtHost() {
    for (auto& [window, view] : views_) delete view.data();
}

WindowView* QtHost::view(const Window& window) const {
    const auto found = views_.find(&window);
    return found == views_.end() ? nullptr : found->second.data();
}

QWidget* QtHost::activeView() const {
    if (QWidget* active = QApplication::activeWindow()) return active;
    return app_ ? view(app_->mapfeed) : nullptr;
}

void QtHost::created(Window& window) {
    Application* app = app_;
    auto* view = new WindowView(window, [app, &window] {
        if (app) app->closeThroughFrame(window);
    });
    view->setWindowIcon(appIcon());
    if (app && &window == &app->mapfeed) {
        // An ordinary resizable top-level window; the controls keep their places.
        view->setWindowFlags(Qt::Window);
        addCommandPreview(*view, *app);
    } else {
        view->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        view->setFixedSize(view->size());
    }
    views_[&window] = view;
}

void QtHost::shown(Window& window) {
    WindowView* v = view(window);
    if (!v) return;
    v->show();
    v->raise();
    v->activateWindow();
    // A window takes its first focus when it first opens; later openings keep what it had.
    if (!focusedOnce_[&window]) {
        focusedOnce_[&window] = true;
        if (Control* first = window.initialFocus())
            if (QWidget* widget = v->widgetFor(*first)) widget->setFocus(Qt::OtherFocusReason);
    }
}

void QtHost::hidden(Window& window) {
    if (WindowView* v = view(window)) v->hide();
}

void QtHost::discarded(Window& window) {
    if (WindowView* v = view(window)) {
        v->hide();
        // The model window goes now; the widgets go later (we may be inside their own close
        // event). Until then none of their signals may reach the controls that are gone.
        for (QObject* part : v->findChildren<QObject*>()) QObject::disconnect(part, nullptr, nullptr, nullptr);
        v->deleteLater();
    }
    views_.erase(&window);
    focusedOnce_.erase(&window);
}

void QtHost::focusMoved(Window& window, Control& control) {
    if (WindowView* v = view(window))
        if (QWidget* widget = v->widgetFor(control)) {
            v->activateWindow();
            widget->setFocus(Qt::OtherFocusReason);
        }
}

}  // namespace mapfeed

#pragma once

#include <QPoint>
#include <QRect>
#include <QPointer>
#include <map>
#include <memory>
#include <vector>

#include "ui/WindowHost.h"
#include "platform/WindowView.h"

namespace mapfeed {

class Application;
class JobPicture;
class LastInputWatcher;
class ActivationOrder;

/// Makes, shows, hides and discards the real windows as the model's rules say. The dialogs
/// are tool windows of the main window: kept above it, opened beside it, and reopened where
/// the user left them for as long as they exist.
class QtHost : public WindowHost {
public:
    QtHost();
    ~QtHost() override;

    /// The application whose windows this host shows; set before its start.
    void attach(Application& app) { app_ = &app; }

    WindowView* view(const Window& window) const;
    /// The window that should own modal boxes: the active one, else the main window.
    QWidget* activeView() const;

    /// Puts a window of ours that is no dialog (the runs window) where it first opens: beside
    /// the main window, never over it, shrunk to the room there is; dialogs keep clear of it.
    void placeBesideMain(QWidget& window, const QSize& least);

    /// The picture of the job, made at its first use.
    JobPicture& jobPicture();
    /// The picture, when it has been made.
    JobPicture* existingJobPicture() const { return picture_.get(); }

    void created(Window& window) override;
    void shown(Window& window) override;
    void hidden(Window& window) override;
    void discarded(Window& window) override;
    void focusMoved(Window& window, Control& control) override;

private:
    bool isMain(const Window& window) const;
    void placeDialog(WindowView& dialog) const;
    void placeMain(WindowView& main) const;
    /// Puts a dialog's frame at `place`.
    void moveFrameTo(WindowView& dialog, QPoint place) const;
    /// The frames of the windows of ours on the screen but the main window and `dialog`.
    std::vector<QRect> otherWindows(const QWidget& dialog) const;
    /// Hands the focus from the active window that goes to the window of ours last active before it.
    void activateLatest(const QWidget& leaving) const;

    Application* app_ = nullptr;
    /// The host owns every view. A dialog's view is also a child of the main view (so that it
    /// stays above it), so the dialogs go before the main window.
    std::map<const Window*, std::unique_ptr<WindowView>> views_;
    std::map<const Window*, bool> focusedOnce_;
    /// Where each existing dialog stood when it was last hidden (its frame).
    std::map<const Window*, QRect> placed_;
    std::unique_ptr<LastInputWatcher> lastInput_;
    std::unique_ptr<ActivationOrder> activations_;
    std::unique_ptr<JobPicture> picture_;
};

}  // namespace mapfeed

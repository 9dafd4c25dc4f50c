#pragma once

#include <QDialog>
#include <functional>

namespace mapfeed {

class Window;
class Control;

/// Twips to logical pixels: 1 twip = 1/15 pixel at 96 DPI; Qt's high-DPI scaling does the rest.
int twipsToPixels(int twips);

/// The real window of a model window, built from its layout: one widget per control at its
/// twips position, bound to the model, with the model's tab order. Closing it through the
/// frame, or the Escape key, calls `onFrameClose` instead of closing it: the model decides
/// what that means (the main window ends the program, a dialog is discarded).
class WindowView : public QDialog {
public:
    WindowView(Window& window, std::function<void()> onFrameClose);

    Window& model() const { return window_; }
    QWidget* widgetFor(const Control& control) const;

    void reject() override;
    /// Whether the view is inside its own close request (the frame's close control or
    /// Escape): deleting it now would pull it from under its own event handler.
    bool inOwnClose() const { return closing_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build();
    void nameForScreenReaders();

    Window& window_;
    void frameClose();

    std::function<void()> onFrameClose_;
    bool closing_ = false;
    std::vector<std::pair<const Control*, QWidget*>> widgets_;
};

}  // namespace mapfeed

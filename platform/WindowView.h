#pragma once

#include <QWidget>
#include <functional>

namespace mapfeed {

class Window;
class Control;

/// Twips to logical pixels: 1 twip = 1/15 pixel at 96 DPI; Qt's high-DPI scaling does the rest.
int twipsToPixels(int twips);

/// The real window of a model window, built from its layout: one widget per control at its
/// twips position, bound to the model, with the model's tab order. Closing it through the
/// frame calls `onFrameClose` instead of closing it; the model decides what that means.
class WindowView : public QWidget {
public:
    WindowView(Window& window, std::function<void()> onFrameClose);

    Window& model() const { return window_; }
    QWidget* widgetFor(const Control& control) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build();

    Window& window_;
    std::function<void()> onFrameClose_;
    std::vector<std::pair<const Control*, QWidget*>> widgets_;
};

}  // namespace mapfeed

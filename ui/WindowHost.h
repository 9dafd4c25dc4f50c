#pragma once

namespace mapfeed {

class Window;
class Control;

/// What the rules do to whole windows, told to whoever shows them: the Qt binding makes and
/// moves real windows; the scenario runner writes the transcript.
class WindowHost {
public:
    virtual ~WindowHost() = default;
    /// A window object now exists, with its controls in their initial state.
    virtual void created(Window& window) = 0;
    /// Shown, or brought to the front when already visible.
    virtual void shown(Window& window) = 0;
    virtual void hidden(Window& window) = 0;
    /// Closed through its frame; the object is destroyed right after this call.
    virtual void discarded(Window& window) = 0;
    /// A rule moved the keyboard focus.
    virtual void focusMoved(Window& window, Control& control) = 0;
};

}  // namespace mapfeed

#pragma once

#include <functional>
#include <memory>
#include <string>

namespace mapfeed {
class Application;
class Control;
class FileList;
class Window;
class WindowHost;
}  // namespace mapfeed

namespace mapfeed::scenario {

class ScenarioWorld;

/// How the events of a scenario reach the program: straight into the window model, or as a
/// user's mouse and key events on the real widgets. The player reads the scenario, checks each
/// line against the language and prints the transcript; the driver does the events and looks.
class EventDriver {
public:
    virtual ~EventDriver() = default;

    /// The queues, the fake process starts and the log; also the services the program uses.
    virtual ScenarioWorld& world() = 0;
    /// Whoever shows the windows.
    virtual WindowHost& host() = 0;
    /// Called once the program has started.
    virtual void attach(Application& app) = 0;

    /// As a user sees it now.
    virtual bool isShown(const Window& window) = 0;
    virtual bool isEnabled(const Control& control) = 0;

    /// Replaces the whole text of a field or of a list's text part, in one edit.
    virtual void type(Control& control, const std::string& text) = 0;
    /// `keys`: the field takes the focus with the cursor after its text, then one character
    /// at a time is typed.
    virtual void startKeys(Control& control) = 0;
    virtual void typeCharacter(Control& control, const std::string& character) = 0;
    /// Picks an entry the list holds (a drive, a listed folder to open, a file name).
    virtual void pick(Control& control, const std::string& entry) = 0;
    virtual void doubleClick(FileList& files, const std::string& name) = 0;
    virtual void click(Control& control) = 0;
    virtual void hover(Control& control) = 0;
    /// The window frame's own close control.
    virtual void close(Window& window) = 0;

    /// The control's state as one transcript line.
    virtual std::string describe(const Control& control) = 0;
    /// `save-picture`: the picture of the job as it stands saved as a PNG at `file`; the
    /// transcript line that tells it (`shownAs` is the path as the scenario gave it).
    virtual std::string savePicture(const std::string& file, const std::string& shownAs) = 0;

    /// Around each line of the scenario that is played.
    virtual void lineStarts(int /*line*/) {}
    virtual void lineEnded(int /*line*/) {}
};

/// Makes the driver of one play; `print` adds a line to the transcript.
using DriverFactory = std::function<std::unique_ptr<EventDriver>(std::function<void(const std::string&)> print)>;

/// Events straight into the model, as its own `user…` calls.
std::unique_ptr<EventDriver> makeModelDriver(std::function<void(const std::string&)> print);

}  // namespace mapfeed::scenario

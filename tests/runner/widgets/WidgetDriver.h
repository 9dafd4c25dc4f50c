#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "tests/runner/EventDriver.h"
#include "tests/runner/widgets/WidgetHost.h"
#include "tests/runner/widgets/WidgetWorld.h"

class QPoint;
class QWidget;

namespace mapfeed::scenario {

/// Events as a user's clicks and keystrokes on the real widgets; looks read back from them.
/// Checks, around every line, that the window and the model agree:
/// - the command preview shows what "Apply" would start now;
/// - a converter start runs exactly the command line the preview showed before the event;
/// - a list showing one of its entries has that entry current.
class WidgetDriver : public EventDriver {
public:
    WidgetDriver(std::function<void(const std::string&)> print, std::vector<std::string>& violations);

    ScenarioWorld& world() override { return world_; }
    WindowHost& host() override { return host_; }
    void attach(Application& app) override;

    bool isShown(const Window& window) override;
    bool isEnabled(const Control& control) override;

    void type(Control& control, const std::string& text) override;
    void startKeys(Control& control) override;
    void typeCharacter(Control& control, const std::string& character) override;
    void pick(Control& control, const std::string& entry) override;
    void doubleClick(FileList& files, const std::string& name) override;
    void click(Control& control) override;
    void hover(Control& control) override;
    void close(Window& window) override;

    std::string describe(const Control& control) override;
    std::string savePicture(const std::string& file, const std::string& shownAs) override;

    void lineStarts(int line) override;
    void lineEnded(int line) override;

private:
    void violation(const std::string& what);
    WindowView* view(const Window& window) const;
    /// The view of the window that holds a control: every control's owner is a window.
    WindowView* view(const ControlOwner& owner) const { return view(static_cast<const Window&>(owner)); }
    QWidget* widget(const Control& control) const;
    /// Clicks into a field or a list's text part, so it takes the focus.
    QWidget* clickInto(Control& control);
    /// Whether a click at a control's place reached it.
    void expectHit(const Control& control, QWidget* hit);
    QString previewText() const;
    void checkListPositions();

    std::function<void(const std::string&)> print_;
    std::vector<std::string>& violations_;
    WidgetHost host_;
    WidgetWorld world_;
    Application* app_ = nullptr;
    int line_ = 0;
    QString previewBefore_;
};

}  // namespace mapfeed::scenario

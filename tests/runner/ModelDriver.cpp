// Events straight into the window model: what the rules do, without a toolkit.

#include "app/Application.h"
#include "browse/BrowseLists.h"
#include "tests/runner/EventDriver.h"
#include "tests/runner/ScenarioWorld.h"
#include "tests/runner/Transcript.h"

namespace mapfeed::scenario {

namespace {

std::string textOf(const Control& control) {
    if (control.kind() == ControlKind::TextField) return static_cast<const TextField&>(control).text();
    return static_cast<const ListBox&>(control).text();
}

void typeInto(Control& control, const std::string& text) {
    if (control.kind() == ControlKind::TextField) static_cast<TextField&>(control).userTypes(text);
    else static_cast<ListBox&>(control).userTypes(text);
}

class ModelDriver : public EventDriver {
public:
    explicit ModelDriver(std::function<void(const std::string&)> print) : world_(std::move(print)) {}

    ScenarioWorld& world() override { return world_; }
    WindowHost& host() override { return world_; }
    void attach(Application& app) override { app_ = &app; }
    std::string savePicture(const std::string&, const std::string&) override {
        return "ignored: no picture without widgets";
    }

    bool isShown(const Window& window) override { return window.visible(); }
    bool isEnabled(const Control& control) override { return control.enabled(); }

    void type(Control& control, const std::string& text) override { typeInto(control, text); }
    void startKeys(Control&) override {}
    void typeCharacter(Control& control, const std::string& character) override {
        typeInto(control, textOf(control) + character);
    }

    void pick(Control& control, const std::string& entry) override {
        switch (control.kind()) {
            case ControlKind::List: static_cast<ListBox&>(control).userPicks(entry); break;
            case ControlKind::DriveList: static_cast<DriveList&>(control).userPicks(entry); break;
            case ControlKind::FolderList: static_cast<FolderList&>(control).userOpens(entry); break;
            case ControlKind::FileList: static_cast<FileList&>(control).userPicks(entry); break;
            default: break;
        }
    }

    void doubleClick(FileList& files, const std::string& name) override { files.userDoubleClicks(name); }

    void click(Control& control) override {
        switch (control.kind()) {
            case ControlKind::Button: static_cast<Button&>(control).userClicks(); break;
            case ControlKind::CheckBox: static_cast<CheckBox&>(control).userClicks(); break;
            case ControlKind::OptionButton: static_cast<OptionButton&>(control).userClicks(); break;
            default: break;
        }
    }

    void hover(Control& control) override {
        if (control.kind() == ControlKind::Button) static_cast<Button&>(control).userHovers();
        else static_cast<Frame&>(control).userHovers();
    }

    void close(Window& window) override { app_->closeThroughFrame(window); }

    std::string describe(const Control& control) override { return scenario::describe(control); }

private:
    ScenarioWorld world_;
    Application* app_ = nullptr;
};

}  // namespace

std::unique_ptr<EventDriver> makeModelDriver(std::function<void(const std::string&)> print) {
    return std::make_unique<ModelDriver>(std::move(print));
}

}  // namespace mapfeed::scenario

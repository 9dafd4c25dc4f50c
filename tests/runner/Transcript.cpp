#include "tests/runner/Transcript.h"

#include "ui/Window.h"
#include "browse/BrowseLists.h"

namespace mapfeed::scenario {

namespace {

std::string flag(bool value) { return value ? "1" : "0"; }

}  // namespace

std::string offered(const std::vector<std::string>& offers) {
    if (offers.empty()) return {};
    std::string list;
    for (const std::string& offer : offers) list += (list.empty() ? "" : ",") + quoted(offer);
    return " offers=[" + list + "]";
}

std::string describe(const Control& control) {
    std::string line = control.window().name() + "." + control.name() + " ";
    const std::string enabled = " enabled=" + flag(control.enabled());
    switch (control.kind()) {
        case ControlKind::TextField: {
            const auto& field = static_cast<const TextField&>(control);
            return line + "text=" + quoted(field.text()) + enabled + offered(field.offers());
        }
        case ControlKind::List: {
            const auto& list = static_cast<const ListBox&>(control);
            std::string entries;
            for (const std::string& entry : list.entries()) entries += (entries.empty() ? "" : ",") + quoted(entry);
            return line + "text=" + quoted(list.text()) + enabled + " entries=[" + entries + "]";
        }
        case ControlKind::Button: {
            const auto& button = static_cast<const Button&>(control);
            return line + "caption=" + quoted(button.caption()) + enabled + " bold=" + flag(button.captionBold());
        }
        case ControlKind::CheckBox:
            return line + "value=" + std::to_string(static_cast<const CheckBox&>(control).value()) + enabled;
        case ControlKind::OptionButton:
            return line + "selected=" + flag(static_cast<const OptionButton&>(control).selected()) + enabled;
        case ControlKind::Label:
            return line + "caption=" + quoted(static_cast<const Label&>(control).caption()) + enabled;
        case ControlKind::Frame:
            return line + "caption=" + quoted(static_cast<const Frame&>(control).caption()) + enabled;
        case ControlKind::DriveList:
            return line + "drive=" + quoted(static_cast<const DriveList&>(control).drive());
        case ControlKind::FolderList:
            return line + "path=" + quoted(static_cast<const FolderList&>(control).path());
        case ControlKind::FileList: {
            const auto& files = static_cast<const FileList&>(control);
            std::string entries;
            for (const std::string& entry : files.entries()) entries += (entries.empty() ? "" : ",") + quoted(entry);
            return line + "path=" + quoted(files.path()) + " pattern=" + quoted(files.pattern()) +
                   " selected=" + quoted(files.selected()) + " entries=[" + entries + "]";
        }
    }
    return line;
}

}  // namespace mapfeed::scenario

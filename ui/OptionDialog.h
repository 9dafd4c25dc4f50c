#pragma once

#include <vector>

#include "job/OptionTable.h"
#include "ui/Window.h"

namespace mapfeed {

/// An option dialog as the main window and the application know it: a window that writes some
/// option slots from its fields, and that the main window's "Clear" resets.
///
/// A dialog type also names itself and the slots it writes, so that the application's dialog
/// table knows both before the dialog is first made:
///
///     static constexpr const char* kName = "textsym";
///     static constexpr Slot kWrites[] = {Slot::Font, Slot::TextSize, Slot::Justification};
class OptionDialog : public Window {
public:
    using Window::Window;

    /// The main window's "Clear": the fields as "Clear" leaves them, and the dialog hidden.
    virtual void clearFromMainWindow() = 0;
    /// The fields that a slot's value is made from, in the order they stand in the window;
    /// empty for a slot the dialog does not write.
    virtual std::vector<TextField*> fieldsOf(Slot slot) = 0;
};

}  // namespace mapfeed

#include "app/DialogTable.h"

#include <stdexcept>

namespace mapfeed {

DialogTable::Row& DialogTable::rowOf(std::type_index type) {
    const auto row = std::find_if(rows_.begin(), rows_.end(), [type](const Row& r) { return r.type == type; });
    // Asking for a window type that was never added is a fault of the program, not of its use.
    if (row == rows_.end()) throw std::logic_error(std::string("no window of type ") + type.name() + " in the table");
    return *row;
}

Window& DialogTable::made(Row& row) {
    if (!row.window) {
        row.window = row.make(host_);
        host_.created(*row.window);
    }
    return *row.window;
}

OptionDialog* DialogTable::writerOf(Slot slot) {
    for (Row& row : rows_)
        if (std::find(row.writes.begin(), row.writes.end(), slot) != row.writes.end())
            return static_cast<OptionDialog*>(&made(row));
    return nullptr;
}

std::vector<OptionDialog*> DialogTable::optionDialogs() {
    std::vector<OptionDialog*> dialogs;
    for (Row& row : rows_)
        if (row.optionDialog) dialogs.push_back(static_cast<OptionDialog*>(&made(row)));
    return dialogs;
}

std::vector<Window*> DialogTable::existing() const {
    std::vector<Window*> windows;
    for (const Row& row : rows_)
        if (row.window) windows.push_back(row.window.get());
    return windows;
}

bool DialogTable::discard(Window& window) {
    for (Row& row : rows_) {
        if (row.window.get() != &window) continue;
        host_.discarded(window);
        row.window.reset();
        return true;
    }
    return false;
}

}  // namespace mapfeed

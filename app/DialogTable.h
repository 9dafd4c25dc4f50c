#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <typeindex>
#include <vector>

#include "job/OptionTable.h"
#include "ui/OptionDialog.h"
#include "ui/WindowHost.h"

namespace mapfeed {

/// Every window of the program but the main one, one row each, looked up by type. A window is
/// made on its first use and told to the host; one closed through its frame is discarded, to be
/// made afresh, with its initial texts, at its next use.
///
/// A new option dialog is one `add` here; "Clear" and the refusal of "Apply" find it through
/// the table.
class DialogTable {
public:
    /// One window: its name and type, the slots it writes (option dialogs only), how it is made
    /// and, once made, the window itself.
    struct Row {
        std::string name;
        std::type_index type;
        bool optionDialog;
        std::vector<Slot> writes;
        std::function<std::unique_ptr<Window>(WindowHost&)> make;
        std::unique_ptr<Window> window;
    };

    explicit DialogTable(WindowHost& host) : host_(host) {}
    DialogTable(const DialogTable&) = delete;
    DialogTable& operator=(const DialogTable&) = delete;

    /// Adds the row of window type `T`, made by `make` on its first use.
    template <typename T, typename Make>
    void add(Make make) {
        static_assert(std::is_same_v<std::invoke_result_t<Make, WindowHost&>, std::unique_ptr<T>>,
                      "a row makes a window of its own type, so that get<T> may cast it back");
        Row row{T::kName, typeid(T), std::is_base_of_v<OptionDialog, T>, {}, nullptr, nullptr};
        if constexpr (std::is_base_of_v<OptionDialog, T>) row.writes.assign(std::begin(T::kWrites), std::end(T::kWrites));
        row.make = [make = std::move(make)](WindowHost& host) -> std::unique_ptr<Window> { return make(host); };
        rows_.push_back(std::move(row));
    }

    /// The window of type `T`, made now if it does not exist.
    template <typename T>
    T& get() {
        return static_cast<T&>(made(rowOf(typeid(T))));
    }

    /// The option dialog that writes `slot`, made now if it does not exist; nullptr when no
    /// dialog writes it (the main window does).
    OptionDialog* writerOf(Slot slot);
    /// Every option dialog, in the table's order, made first (hidden) if it does not exist.
    std::vector<OptionDialog*> optionDialogs();

    /// Every window that exists now, in the table's order.
    std::vector<Window*> existing() const;
    /// Lets go of a window closed through its frame; false when it is none of the table's.
    bool discard(Window& window);

    std::vector<Row>::const_iterator begin() const { return rows_.begin(); }
    std::vector<Row>::const_iterator end() const { return rows_.end(); }

private:
    Row& rowOf(std::type_index type);
    Window& made(Row& row);

    WindowHost& host_;
    std::vector<Row> rows_;
};

}  // namespace mapfeed

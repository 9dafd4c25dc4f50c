#pragma once

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

namespace mapfeed {

/// Whoever wants to hear of a change subscribes, and unsubscribes when it goes; nobody
/// overwrites anybody. A subscriber may subscribe or unsubscribe while being told: the change
/// is told to the subscribers as they stood when it began, less those gone since.
class Observers {
public:
    using Id = std::size_t;

    Id subscribe(std::function<void()> observer) {
        entries_.push_back({++lastId_, std::move(observer)});
        return lastId_;
    }
    void unsubscribe(Id id) { std::erase_if(entries_, [id](const Entry& entry) { return entry.id == id; }); }

    void notify() const {
        const std::vector<Entry> told = entries_;
        for (const Entry& entry : told)
            if (subscribed(entry.id)) entry.observer();
    }

private:
    struct Entry {
        Id id;
        std::function<void()> observer;
    };
    bool subscribed(Id id) const {
        for (const Entry& entry : entries_)
            if (entry.id == id) return true;
        return false;
    }

    std::vector<Entry> entries_;
    Id lastId_ = 0;
};

}  // namespace mapfeed

#pragma once

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

namespace mapfeed::posix {

/// How long the window waits on a file system before the user is told that it does not answer.
inline constexpr std::chrono::milliseconds kFileSystemPatience{2000};

/// What a bounded call gave: its value, or none because it overran its time (`overran`) or
/// because an earlier call under the same key is still stuck (refused at once).
template <typename Result>
struct Bounded {
    std::optional<Result> value;
    bool overran = false;
};

/// Runs file-system calls that may never return (a network share that stopped answering) on
/// threads of their own and waits for each a bounded time, calling `whileWaiting` between short
/// waits so that the window keeps painting. A call that overruns is left to finish alone: a
/// thread stuck in the kernel cannot be cancelled, so each owns what it touches and its late
/// answer is dropped. While one is stuck, a call under the same key is refused at once rather
/// than stacking a second thread on the same share; so is any call once many are stuck.
class BoundedCalls {
public:
    using Clock = std::chrono::steady_clock;

    std::function<void()> whileWaiting;
    std::chrono::milliseconds patience = kFileSystemPatience;

    /// Starts `work` on a thread of its own; nothing when `key` is still stuck. When no thread
    /// can be had, `work` runs here and now.
    template <typename Work>
    auto launch(const std::string& key, Work work) -> std::optional<std::future<decltype(work())>> {
        using Result = decltype(work());
        {
            const std::lock_guard<std::mutex> lock(pending_->mutex);
            if (pending_->keys.count(key) || pending_->keys.size() >= kMostPending) return std::nullopt;
            pending_->keys.insert(key);
        }
        auto promise = std::make_shared<std::promise<Result>>();
        std::future<Result> future = promise->get_future();
        auto finish = [promise, pending = pending_, key, work]() mutable {
            std::optional<Result> result;
            std::exception_ptr failure;
            try {
                result.emplace(work());
            } catch (...) {
                failure = std::current_exception();
            }
            {
                // Let go of the key before answering, so that the next call never finds it taken.
                const std::lock_guard<std::mutex> lock(pending->mutex);
                pending->keys.erase(key);
            }
            if (failure) promise->set_exception(failure);
            else promise->set_value(std::move(*result));
        };
        try {
            std::thread(finish).detach();
        } catch (const std::system_error&) {
            finish();
        }
        return future;
    }

    /// Waits for a launched call until `deadline`; whether it answered.
    template <typename Result>
    bool await(std::future<Result>& future, Clock::time_point deadline) {
        while (future.wait_for(kSlice) != std::future_status::ready) {
            if (Clock::now() >= deadline) return false;
            if (whileWaiting) whileWaiting();
        }
        return true;
    }

    /// Launches `work` and waits for it at most `patience`.
    template <typename Work>
    auto run(const std::string& key, Work work) -> Bounded<decltype(work())> {
        auto future = launch(key, std::move(work));
        if (!future) return {};
        if (!await(*future, Clock::now() + patience)) return {std::nullopt, true};
        return {future->get(), false};
    }

private:
    static constexpr std::chrono::milliseconds kSlice{10};
    static constexpr std::size_t kMostPending = 32;

    struct Pending {
        std::mutex mutex;
        std::set<std::string> keys;
    };
    // Shared with the threads, which may outlive these services.
    std::shared_ptr<Pending> pending_ = std::make_shared<Pending>();
};

}  // namespace mapfeed::posix

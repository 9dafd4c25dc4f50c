#pragma once

#include <concepts>
#include <functional>
#include <utility>

#include "ui/Controls.h"

namespace mapfeed {

/// `call`, as long as `control` exists; once it is gone, nothing (and a default result). Every
/// callback a binding gives a widget is wrapped in it, so that no widget event, and no later
/// sync, can reach a control whose window the model has already discarded.
template <typename Call>
auto whileAlive(const Control& control, Call call) {
    // Constrained, so that Qt can find how many of a signal's arguments the call takes.
    return [alive = control.lifetime(), call = std::move(call)]<typename... Args>(Args&&... args)
        requires std::invocable<const Call&, Args...>
    {
        using Result = std::invoke_result_t<const Call&, Args...>;
        if (alive.expired()) return Result();
        return call(std::forward<Args>(args)...);
    };
}

}  // namespace mapfeed

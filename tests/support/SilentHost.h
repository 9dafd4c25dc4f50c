#pragma once

#include "app/WindowHost.h"

namespace mapfeed::testing {

/// Shows nothing and tells nothing: the host of a model that runs without a screen, or of
/// windows made only to be looked at.
class SilentHost : public WindowHost {
public:
    void created(Window&) override {}
    void shown(Window&) override {}
    void hidden(Window&) override {}
    void discarded(Window&) override {}
    void focusMoved(Window&, Control&) override {}
};

}  // namespace mapfeed::testing

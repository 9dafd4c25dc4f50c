#pragma once

#include <QString>
#include <gtest/gtest.h>

#include "app/Application.h"
#include "platform/QtHost.h"
#include "tests/support/FakeWorld.h"

namespace mapfeed::testing {

/// The main window on the real widgets, over recording services.
class MainWindowFixture : public ::testing::Test {
protected:
    MainWindowFixture() : app(world, host) {
        host.attach(app);
        app.start();
        view = host.view(app.mapfeed);
    }

    template <typename W>
    W* widget(const char* name) {
        W* found = view->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(nullptr, found) << name;
        return found;
    }

    FakeWorld world;
    QtHost host;
    Application app;
    MainWindow& m = app.mapfeed;
    WindowView* view = nullptr;
};

}  // namespace mapfeed::testing

#include <QApplication>
#include <QPixmap>
#include <gtest/gtest.h>

#include "browse/BrowseWindow.h"
#include "app/Application.h"
#include "platform/QtHost.h"
#include "tests/support/FakeWorld.h"

using namespace mapfeed;

// Runs in the binding suite's second pass, under QT_SCALE_FACTOR=2, where every other binding
// test also runs again: captions whole, tab order, geometry in logical pixels.
TEST(HighDpi, EveryWindowRendersAtTwiceThePixels) {
    if (qEnvironmentVariable("QT_SCALE_FACTOR") != QLatin1String("2")) GTEST_SKIP() << "runs at scale factor 2";
    mapfeed::testing::FakeWorld world;
    QtHost host;
    Application app(world, host);
    host.attach(app);
    app.start();
    app.mapfeed.ClearCmd.userClicks();
    app.dialogs.get<BrowseWindow>().show();
    for (Window* window : app.windows()) {
        WindowView* view = host.view(*window);
        ASSERT_NE(nullptr, view);
        EXPECT_DOUBLE_EQ(2.0, view->devicePixelRatioF()) << window->name();
        const QPixmap picture = view->grab();
        EXPECT_EQ(view->size() * 2, picture.size()) << window->name();
    }
    EXPECT_EQ(511, host.view(app.mapfeed)->width()) << "the layout stays in logical pixels";
}

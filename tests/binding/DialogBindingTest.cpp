#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/Application.h"
#include "tests/support/WindowLookup.h"
#include "platform/QtHost.h"
#include "platform/QtServices.h"

using namespace mapfeed;

namespace {

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::Information;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

/// Answers the next message box from the event loop, after noting how it looked.
void answerNextBox(SeenBox& seen, QMessageBox::StandardButton answer) {
    QTimer::singleShot(0, [&seen, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(nullptr, box);
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        seen.defaultButton = box->standardButton(box->defaultButton());
        box->button(answer)->click();
    });
}

}  // namespace

class DialogBinding : public ::testing::Test {
protected:
    DialogBinding() : services(host), app(services, host) {
        host.attach(app);
        app.start();
    }

    QWidget* widgetOf(Window& window, Control& control) { return host.view(window)->widgetFor(control); }

    QtHost host;
    QtServices services;
    Application app;
};

TEST_F(DialogBinding, RasterMessageOkPutsTheFocusInTheFirstEmptyField) {
    app.mapfeed.RasterChck.userClicks();
    RasterInfoDialog& raster = app.rasterinfo();
    ASSERT_TRUE(host.view(raster)->isVisible());
    raster.UlhxTxt.userTypes("10");
    raster.PixszTxt.userTypes("5");

    SeenBox seen;
    answerNextBox(seen, QMessageBox::Ok);
    raster.ApplyCmd.userClicks();
    EXPECT_EQ(QStringLiteral("Mapfeed"), seen.title);
    EXPECT_EQ(QStringLiteral("You Must Enter a ULHX, ULHY and Pixel Size"), seen.text);
    EXPECT_EQ(QMessageBox::NoIcon, seen.icon);
    EXPECT_EQ(QMessageBox::Ok | QMessageBox::Cancel, seen.buttons);
    EXPECT_EQ(QMessageBox::Ok, seen.defaultButton);

    EXPECT_TRUE(host.view(raster)->isVisible());
    // The window's focus widget is the one that has the keyboard focus whenever it is active.
    EXPECT_EQ(widgetOf(raster, raster.UlhyTxt), host.view(raster)->focusWidget());
    EXPECT_EQ("", app.options.flag(26));
}

TEST_F(DialogBinding, RasterMessageCancelHidesAndKeepsTheTick) {
    app.mapfeed.RasterChck.userClicks();
    SeenBox seen;
    answerNextBox(seen, QMessageBox::Cancel);
    app.rasterinfo().ApplyCmd.userClicks();
    EXPECT_FALSE(host.view(app.rasterinfo())->isVisible());
    EXPECT_EQ(1, app.mapfeed.RasterChck.value());
}

TEST_F(DialogBinding, MainWindowWorksWhileDialogsAreOpen) {
    app.mapfeed.PntsymCmd.userClicks();
    app.mapfeed.LinsymCmd.userClicks();
    ASSERT_TRUE(host.view(app.pntsym())->isVisible());
    ASSERT_TRUE(host.view(app.linesym())->isVisible());
    EXPECT_FALSE(host.view(app.pntsym())->isModal());

    QTest::mouseClick(static_cast<QAbstractButton*>(widgetOf(app.mapfeed, app.mapfeed.CrvOpt)), Qt::LeftButton);
    EXPECT_TRUE(app.mapfeed.CrvOpt.selected());
    QTest::mouseClick(static_cast<QPushButton*>(widgetOf(app.mapfeed, app.mapfeed.ClearCmd)), Qt::LeftButton);
    EXPECT_FALSE(host.view(app.pntsym())->isVisible());
    EXPECT_FALSE(host.view(app.linesym())->isVisible());
}

TEST_F(DialogBinding, FrameCloseDiscardsAndReopeningStartsAfresh) {
    app.mapfeed.PntsymCmd.userClicks();
    auto* style = static_cast<QLineEdit*>(widgetOf(app.pntsym(), app.pntsym().OutStyTxt));
    style->setFocus();
    style->selectAll();
    QTest::keyClicks(style, "7");
    EXPECT_EQ("7", app.pntsym().OutStyTxt.text());

    host.view(app.pntsym())->close();
    EXPECT_EQ(nullptr, mapfeed::testing::findWindow(app, "pntsym"));

    app.mapfeed.PntsymCmd.userClicks();
    EXPECT_EQ("0", app.pntsym().OutStyTxt.text());
    EXPECT_EQ(QStringLiteral("0"), static_cast<QLineEdit*>(widgetOf(app.pntsym(), app.pntsym().OutStyTxt))->text());
}

TEST_F(DialogBinding, EscapeInADialogDiscardsIt) {
    app.mapfeed.LinsymCmd.userClicks();
    QWidget* apply = widgetOf(app.linesym(), app.linesym().ApplyCmd);
    QTest::keyClick(apply, Qt::Key_Escape);
    EXPECT_EQ(nullptr, mapfeed::testing::findWindow(app, "linesym"));
    EXPECT_EQ("", app.options.flag(10));
}

TEST_F(DialogBinding, EveryDialogCaptionIsWhole) {
    app.mapfeed.ClearCmd.userClicks();  // makes every dialog
    for (Window* window : app.windows()) {
        WindowView* view = host.view(*window);
        ASSERT_NE(nullptr, view);
        for (QLabel* label : view->findChildren<QLabel*>()) {
            const QRect needed =
                label->fontMetrics().boundingRect(label->contentsRect(), Qt::TextWordWrap, label->text());
            EXPECT_LE(needed.height(), label->contentsRect().height()) << window->name() << " " << label->text().toStdString();
            EXPECT_LE(needed.width(), label->contentsRect().width()) << window->name() << " " << label->text().toStdString();
        }
        for (QPushButton* button : view->findChildren<QPushButton*>()) {
            const int margin = 2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin);
            EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + margin, button->width())
                << window->name() << " " << button->text().toStdString();
        }
    }
}

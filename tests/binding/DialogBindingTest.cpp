#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "dialogs/CellOptionsDialog.h"
#include "dialogs/RasterInfoDialog.h"
#include "dialogs/TextSymbologyDialog.h"
#include "dialogs/SymbologyDialog.h"
#include "browse/BrowseWindow.h"
#include "app/Application.h"
#include "app/MainWindow.h"
#include "dgn/SampleLibrary.h"
#include "platform/DialogPlacement.h"
#include "platform/QtHost.h"
#include "platform/QtServices.h"
#include "tests/support/WindowLookup.h"

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
    RasterInfoDialog& raster = app.dialogs.get<RasterInfoDialog>();
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
    app.dialogs.get<RasterInfoDialog>().ApplyCmd.userClicks();
    EXPECT_FALSE(host.view(app.dialogs.get<RasterInfoDialog>())->isVisible());
    EXPECT_EQ(1, app.mapfeed.RasterChck.value());
}

TEST_F(DialogBinding, MainWindowWorksWhileDialogsAreOpen) {
    app.mapfeed.PntsymCmd.userClicks();
    app.mapfeed.LinsymCmd.userClicks();
    ASSERT_TRUE(host.view(app.dialogs.get<PointSymbologyDialog>())->isVisible());
    ASSERT_TRUE(host.view(app.dialogs.get<LineSymbologyDialog>())->isVisible());
    EXPECT_FALSE(host.view(app.dialogs.get<PointSymbologyDialog>())->isModal());

    QTest::mouseClick(static_cast<QAbstractButton*>(widgetOf(app.mapfeed, app.mapfeed.CrvOpt)), Qt::LeftButton);
    EXPECT_TRUE(app.mapfeed.CrvOpt.selected());
    QTest::mouseClick(static_cast<QPushButton*>(widgetOf(app.mapfeed, app.mapfeed.ClearCmd)), Qt::LeftButton);
    EXPECT_FALSE(host.view(app.dialogs.get<PointSymbologyDialog>())->isVisible());
    EXPECT_FALSE(host.view(app.dialogs.get<LineSymbologyDialog>())->isVisible());
}

TEST_F(DialogBinding, FrameCloseDiscardsAndReopeningStartsAfresh) {
    app.mapfeed.PntsymCmd.userClicks();
    auto* style = static_cast<QLineEdit*>(widgetOf(app.dialogs.get<PointSymbologyDialog>(), app.dialogs.get<PointSymbologyDialog>().OutStyTxt));
    style->setFocus();
    style->selectAll();
    QTest::keyClicks(style, "7");
    EXPECT_EQ("7", app.dialogs.get<PointSymbologyDialog>().OutStyTxt.text());

    host.view(app.dialogs.get<PointSymbologyDialog>())->close();
    EXPECT_EQ(nullptr, mapfeed::testing::findWindow(app, "pntsym"));

    app.mapfeed.PntsymCmd.userClicks();
    EXPECT_EQ("0", app.dialogs.get<PointSymbologyDialog>().OutStyTxt.text());
    EXPECT_EQ(QStringLiteral("0"), static_cast<QLineEdit*>(widgetOf(app.dialogs.get<PointSymbologyDialog>(), app.dialogs.get<PointSymbologyDialog>().OutStyTxt))->text());
}

// The host owns its views: they go with the program, at once; a dialog closed through its
// frame goes once its own close event is done, and its widgets reach no control meanwhile.
TEST(ViewLifetime, ViewsGoWithTheProgramAndAClosedDialogAfterItsCloseEvent) {
    int destroyed = 0;
    {
        QtHost host;
        QtServices services(host);
        Application app(services, host);
        host.attach(app);
        app.start();
        app.mapfeed.PntsymCmd.userClicks();
        app.mapfeed.LinsymCmd.userClicks();
        for (Window* window : app.windows())
            QObject::connect(host.view(*window), &QObject::destroyed, [&destroyed] { ++destroyed; });

        QPointer<WindowView> closed = host.view(app.dialogs.get<PointSymbologyDialog>());
        auto* style = static_cast<QLineEdit*>(closed->widgetFor(app.dialogs.get<PointSymbologyDialog>().OutStyTxt));
        closed->close();
        ASSERT_FALSE(closed.isNull()) << "deleted inside its own close event";
        QTest::keyClicks(style, "9");  // the model's field is gone
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(closed.isNull());
    }
    EXPECT_EQ(3, destroyed);
}

TEST_F(DialogBinding, EscapeInADialogDiscardsIt) {
    app.mapfeed.LinsymCmd.userClicks();
    QWidget* apply = widgetOf(app.dialogs.get<LineSymbologyDialog>(), app.dialogs.get<LineSymbologyDialog>().ApplyCmd);
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

TEST_F(DialogBinding, DialogsAreToolWindowsOfTheMainWindow) {
    app.mapfeed.ClearCmd.userClicks();  // makes every dialog
    app.dialogs.get<BrowseWindow>().show();
    WindowView* main = host.view(app.mapfeed);
    EXPECT_EQ(Qt::Window, main->windowType());
    for (Window* window : app.windows()) {
        if (window == &app.mapfeed) continue;
        WindowView* view = host.view(*window);
        EXPECT_EQ(main, view->parentWidget()) << window->name();
        EXPECT_EQ(Qt::Tool, view->windowType()) << window->name();
        const Qt::WindowFlags flags = view->windowFlags();
        EXPECT_TRUE(flags & Qt::CustomizeWindowHint) << window->name();
        EXPECT_TRUE(flags & Qt::WindowCloseButtonHint) << window->name();
        EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)) << window->name();
        EXPECT_EQ(view->minimumSize(), view->maximumSize()) << window->name();
    }
}

TEST_F(DialogBinding, DialogsOpenBesideTheMainWindowAndNotOnEachOther) {
    WindowView* main = host.view(app.mapfeed);
    main->move(0, 0);
    const QRect owner = main->frameGeometry();
    app.mapfeed.LinsymCmd.userClicks();
    app.mapfeed.PntsymCmd.userClicks();
    app.mapfeed.CentrCmb.userPicks("Annotation");  // opens "Text Symbology"
    app.mapfeed.RasterChck.userClicks();
    // On a screen too small for the main window and a dialog (offscreen at scale 2) they
    // can only cascade; where there is room they open beside it.
    const QRect screen = main->screen()->availableGeometry();
    const bool room = screen.width() >= owner.width() + host.view(app.dialogs.get<PointSymbologyDialog>())->width() &&
                      screen.height() >= owner.height() + host.view(app.dialogs.get<RasterInfoDialog>())->height();
    std::vector<QRect> opened;
    for (Window* window : {static_cast<Window*>(&app.dialogs.get<LineSymbologyDialog>()), static_cast<Window*>(&app.dialogs.get<PointSymbologyDialog>()),
                           static_cast<Window*>(&app.dialogs.get<TextSymbologyDialog>()), static_cast<Window*>(&app.dialogs.get<RasterInfoDialog>())}) {
        const QRect frame = host.view(*window)->frameGeometry();
        if (room) {
            EXPECT_FALSE(frame.intersects(owner)) << window->name() << " covers the main window";
        }
        EXPECT_TRUE(screen.contains(frame)) << window->name();
        for (const QRect& other : opened) EXPECT_NE(other.topLeft(), frame.topLeft()) << window->name();
        opened.push_back(frame);
    }
    if (!room) return;
    EXPECT_EQ(owner.right() + 1 + 4, opened.front().left()) << "the first one to the right";
    EXPECT_EQ(owner.top(), opened.front().top());
}

TEST_F(DialogBinding, MovedDialogReopensWhereLeftAndAFreshOneBeside) {
    host.view(app.mapfeed)->move(0, 0);
    app.mapfeed.PntsymCmd.userClicks();
    WindowView* view = host.view(app.dialogs.get<PointSymbologyDialog>());
    const QPoint beside = view->pos();
    const QRect owner = host.view(app.mapfeed)->frameGeometry();
    const bool room = view->screen()->availableGeometry().width() >= owner.width() + view->width();
    if (room) {
        EXPECT_FALSE(QRect(beside, view->size()).intersects(owner)) << "opens beside the main window";
    }
    view->move(beside + QPoint(40, 200));
    app.dialogs.get<PointSymbologyDialog>().EndCmd.userClicks();  // "Cancel" hides it
    EXPECT_FALSE(view->isVisible());
    app.mapfeed.PntsymCmd.userClicks();
    // Where it was left, as long as no other window of ours stands there.
    if (room) {
        EXPECT_EQ(beside + QPoint(40, 200), host.view(app.dialogs.get<PointSymbologyDialog>())->pos());
    }

    host.view(app.dialogs.get<PointSymbologyDialog>())->close();  // discarded: the next one is new, and opens beside
    app.mapfeed.PntsymCmd.userClicks();
    EXPECT_EQ(beside, host.view(app.dialogs.get<PointSymbologyDialog>())->pos());
}

TEST_F(DialogBinding, DialogOpenedFromTheKeyboardShowsItsFocus) {
    QWidget* point = widgetOf(app.mapfeed, app.mapfeed.PntsymCmd);
    point->setFocus();
    QTest::keyClick(point, Qt::Key_Space);
    WindowView* view = host.view(app.dialogs.get<PointSymbologyDialog>());
    ASSERT_TRUE(view->isVisible());
    EXPECT_TRUE(view->testAttribute(Qt::WA_KeyboardFocusChange)) << "the focus ring is drawn on Apply";
    EXPECT_EQ(widgetOf(app.dialogs.get<PointSymbologyDialog>(), app.dialogs.get<PointSymbologyDialog>().ApplyCmd), view->focusWidget());

    QWidget* line = widgetOf(app.mapfeed, app.mapfeed.LinsymCmd);
    QTest::mouseClick(line, Qt::LeftButton);
    ASSERT_TRUE(host.view(app.dialogs.get<LineSymbologyDialog>())->isVisible());
    EXPECT_FALSE(host.view(app.dialogs.get<LineSymbologyDialog>())->testAttribute(Qt::WA_KeyboardFocusChange)) << "opened with the pointer";
}

TEST(DialogPlacement, RightThenBelowThenLeftThenCascaded) {
    const QRect screen(0, 0, 1000, 800);
    const QSize dialog(200, 150);
    EXPECT_EQ(QPoint(404, 0), dialogPosition(QRect(0, 0, 400, 500), dialog, screen, {}));
    EXPECT_EQ(QPoint(404, 154), dialogPosition(QRect(0, 0, 400, 500), dialog, screen, {QRect(404, 0, 200, 150)}))
        << "below the one already there";
    EXPECT_EQ(QPoint(600, 504), dialogPosition(QRect(600, 0, 400, 500), dialog, screen, {})) << "no room to the right";
    EXPECT_EQ(QPoint(396, 0), dialogPosition(QRect(600, 0, 400, 790), dialog, screen, {})) << "no room right or below";
    const QRect everything(0, 0, 1000, 800);
    const QPoint first = dialogPosition(everything, dialog, screen, {});
    EXPECT_TRUE(screen.contains(QRect(first, dialog)));
    const QPoint second = dialogPosition(everything, dialog, screen, {QRect(first, dialog)});
    EXPECT_NE(first, second) << "cascaded, never exactly on another";
    EXPECT_TRUE(screen.contains(QRect(second, dialog)));
}

TEST_F(DialogBinding, FieldsLineUpAndLabelsStandOnTheirBaselines) {
    MainWindow& m = app.mapfeed;
    EXPECT_EQ(widgetOf(m, m.DgnFileTxt)->x(), widgetOf(m, m.InfileTxt)->x()) << "the input field stood 2 px left";
    auto& point = app.dialogs.get<PointSymbologyDialog>();
    EXPECT_EQ(widgetOf(point, point.Label2)->x(), widgetOf(point, point.Label1)->x()) << "\"element style\" stood 2 px left";
    EXPECT_LT(widgetOf(point, point.OutStyTxt)->geometry().bottom() + 1, widgetOf(point, point.OutWtTxt)->y())
        << "the stacked fields do not touch";

    // A field draws its text centred between its frame's equal top and bottom edges.
    for (Window* window : std::initializer_list<Window*>{&m, &point}) {
        for (Control* control : window->controls()) {
            auto* field = qobject_cast<QLineEdit*>(widgetOf(*window, *control));
            if (!field || !control->namedBy) continue;
            auto* label = qobject_cast<QLabel*>(host.view(*window)->widgetFor(*control->namedBy));
            ASSERT_NE(nullptr, label);
            if (std::abs(label->geometry().center().y() - field->geometry().center().y()) > field->height() / 2) continue;
            const QFontMetrics text = field->fontMetrics();
            const int fieldBaseline = field->y() + (field->height() - text.height() + 1) / 2 + text.ascent();
            const int labelBaseline = label->y() + label->contentsMargins().top() + label->fontMetrics().ascent();
            EXPECT_LE(std::abs(fieldBaseline - labelBaseline), 1) << window->name() << "." << control->name();
        }
    }
}

// The cell name field offers a real library's names: read off the window's thread, then shown
// as the whole list on the down arrow and narrowed as the user types, without writing a slot.
TEST_F(DialogBinding, CellNameFieldOffersTheLibrarysCellsOnTheDownArrow) {
    const QString library = QDir::temp().filePath(QStringLiteral("mapfeed-binding-%1.cel").arg(QCoreApplication::applicationPid()));
    {
        const dgn::Bytes bytes = dgn::sampleCellLibrary();
        QFile file(library);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    }
    app.mapfeed.CentrCmb.userPicks("Cells");
    CellOptionsDialog& cells = app.dialogs.get<CellOptionsDialog>();
    cells.CeTxt.userTypes(library.toStdString());
    host.view(cells)->activateWindow();
    auto* name = static_cast<QLineEdit*>(widgetOf(cells, cells.CnTxt));
    name->setFocus();
    QTest::keyClick(name, Qt::Key_Down);
    QTRY_VERIFY(name->completer()->popup()->isVisible());
    EXPECT_EQ(3, name->completer()->completionCount());
    QTest::keyClick(name->completer()->popup(), Qt::Key_Escape);
    QTest::keyClicks(name, "cr");
    EXPECT_EQ(1, name->completer()->completionCount());
    EXPECT_EQ(QStringLiteral("CROSS"), name->completer()->currentCompletion());
    EXPECT_EQ("cr", cells.CnTxt.text());
    EXPECT_EQ("", app.options.flag(13));
    QFile::remove(library);
}

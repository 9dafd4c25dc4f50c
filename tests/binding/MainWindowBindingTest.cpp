#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QFontInfo>
#include <QGuiApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QScrollBar>
#include <QTextEdit>
#include <gtest/gtest.h>

#include "tests/support/Quoted.h"
#include "tests/support/WindowLookup.h"
#include "dialogs/SymbologyDialog.h"
#include "browse/BrowseWindow.h"
#include "app/Application.h"
#include "platform/ProgramSetup.h"
#include "platform/QtHost.h"
#include "tests/binding/MainWindowFixture.h"

using namespace mapfeed;

using MainWindowBinding = mapfeed::testing::MainWindowFixture;

namespace {

/// The command as the preview shows it: its text without the line breaks it lays out itself
/// (every line break the command holds is shown as a symbol).
QString shownText(const QTextEdit* preview) { return preview->toPlainText().remove(QLatin1Char('\n')); }

}  // namespace

TEST_F(MainWindowBinding, TypedTextReachesTheModelAndItsRules) {
    auto* table = widget<QLineEdit>("TblnmTxt");
    table->setFocus();
    QTest::keyClicks(table, "roads");
    EXPECT_EQ("roads", m.TblnmTxt.text());
    EXPECT_EQ("-T", app.options.flag(7));
    auto* mslink = widget<QLineEdit>("Mslinktxt");
    EXPECT_TRUE(mslink->isEnabled());
    EXPECT_EQ(QStringLiteral("1"), mslink->text());
}

TEST_F(MainWindowBinding, ModelWritesReachWidgetsWithoutEcho) {
    auto* infile = widget<QLineEdit>("InfileTxt");
    QSignalSpy edits(infile, &QLineEdit::textEdited);
    m.InfileTxt.setText("/data/in.gen");
    EXPECT_EQ(QStringLiteral("/data/in.gen"), infile->text());
    EXPECT_EQ(0, edits.count());

    m.ThemeCmb.userPicks("Point");
    EXPECT_EQ(QStringLiteral("Point Table Name:"), widget<QLabel>("Label4")->text());
    EXPECT_FALSE(widget<QLineEdit>("Outlevtxt")->isEnabled());
    EXPECT_EQ(QStringLiteral("Point"), widget<QComboBox>("ThemeCmb")->currentText());
}

TEST_F(MainWindowBinding, DisabledWidgetsTakeNoInput) {
    auto* mslink = widget<QLineEdit>("Mslinktxt");
    ASSERT_FALSE(mslink->isEnabled());
    QTest::keyClicks(mslink, "42");
    EXPECT_EQ("", m.Mslinktxt.text());

    m.ThemeCmb.userPicks("Linear");
    auto* raster = widget<QCheckBox>("RasterChck");
    QTest::mouseClick(raster, Qt::LeftButton);
    EXPECT_EQ(0, m.RasterChck.value());
}

TEST_F(MainWindowBinding, PicksAndTypingInListsFollowTheirOwnRules) {
    auto* source = widget<QComboBox>("SrcCmb");
    emit source->activated(2);  // what a pick from the drop-down sends
    EXPECT_EQ("MOSS", m.SrcCmb.text());
    EXPECT_EQ("M", app.options.value(3));

    source->lineEdit()->selectAll();
    QTest::keyClicks(source->lineEdit(), "X,Y");
    EXPECT_EQ("X,Y", m.SrcCmb.text());
    EXPECT_EQ("M", app.options.value(3)) << "typing is no pick";
}

TEST_F(MainWindowBinding, OptionButtonsStayExclusive) {
    auto* curves = widget<QAbstractButton>("CrvOpt");
    auto* lines = widget<QAbstractButton>("LineOpt");
    QTest::mouseClick(curves, Qt::LeftButton);
    EXPECT_TRUE(m.CrvOpt.selected());
    EXPECT_TRUE(curves->isChecked());
    EXPECT_FALSE(lines->isChecked());
    QTest::mouseClick(curves, Qt::LeftButton);  // a second click keeps it selected
    EXPECT_TRUE(curves->isChecked());
    m.ClearCmd.userClicks();
    EXPECT_TRUE(lines->isChecked());
    EXPECT_FALSE(curves->isChecked());
}

TEST_F(MainWindowBinding, GeometryFollowsTheLayoutInTwips) {
    // 7665 x 6540 twips, and the command line under the frames.
    auto* preview = widget<QTextEdit>("CommandPreview");
    EXPECT_EQ(QSize(511, preview->geometry().bottom() + 1 + 8), view->size());
    auto* apply = widget<QPushButton>("ApplyCmd");
    EXPECT_EQ(QRect(16, 368, 65, 25), QRect(apply->mapTo(view, QPoint(0, 0)), apply->size()));
    EXPECT_EQ(QStringLiteral(" Orlith Mapfeed"), view->windowTitle());
    EXPECT_FALSE(view->windowIcon().isNull());
}

TEST_F(MainWindowBinding, EveryCaptionIsWhole) {
    for (QLabel* label : view->findChildren<QLabel*>()) {
        const QRect needed = label->fontMetrics().boundingRect(label->contentsRect(), Qt::TextWordWrap, label->text());
        EXPECT_LE(needed.height(), label->contentsRect().height()) << label->objectName().toStdString() << " "
                                                                    << label->text().toStdString();
        EXPECT_LE(needed.width(), label->contentsRect().width()) << label->text().toStdString();
    }
    for (QAbstractButton* button : view->findChildren<QAbstractButton*>()) {
        if (button->text().isEmpty()) continue;
        // Push buttons need a few pixels of frame on each side; radio buttons their indicator.
        int chrome = 2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin);
        if (qobject_cast<QRadioButton*>(button))
            chrome = button->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                     button->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + chrome, button->width())
            << button->objectName().toStdString();
        EXPECT_LE(button->fontMetrics().height(), button->height()) << button->objectName().toStdString();
    }
    for (QGroupBox* frame : view->findChildren<QGroupBox*>()) {
        EXPECT_LE(frame->fontMetrics().horizontalAdvance(frame->title()) + 16, frame->width());
    }
}

TEST_F(MainWindowBinding, TabOrderAndStartFocus) {
    std::vector<std::string> expected;
    for (Control* control : m.tabOrder())
        if (control->enabled()) expected.push_back(control->name());
    std::vector<std::string> visited;
    QWidget* start = view->widgetFor(m.InfileTxt);
    QWidget* w = start;
    do {
        if (w->isEnabled() && w->focusPolicy() & Qt::TabFocus && w->isVisibleTo(view)) {
            std::string name = w->objectName().toStdString();
            if (!name.empty() && mapfeed::testing::findControl(m, name)) visited.push_back(name);
        }
        w = w->nextInFocusChain();
    } while (w != start && visited.size() < 60);
    EXPECT_EQ(expected, visited);
}

TEST_F(MainWindowBinding, EscapeActsAsClose) {
    QApplication::setActiveWindow(view);
    QTest::keyClick(view->widgetFor(m.InfileTxt), Qt::Key_Escape);
    EXPECT_EQ(std::vector<std::string>{"quit"}, world.events);
}

TEST_F(MainWindowBinding, HoverTurnsCaptionsBoldAndBack) {
    auto* browse = widget<QPushButton>("BrwCmd");
    auto* frame = widget<QGroupBox>("InputFrm");
    QTest::mouseMove(frame, QPoint(frame->width() - 5, frame->height() - 5));
    QMouseEvent bare(QEvent::MouseMove, QPointF(frame->width() - 5, frame->height() - 5), QPointF(), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(frame, &bare);
    EXPECT_FALSE(m.BrwCmd.captionBold());
    EXPECT_FALSE(browse->font().bold());
    QMouseEvent over(QEvent::MouseMove, QPointF(5, 5), QPointF(), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(browse, &over);
    EXPECT_TRUE(m.BrwCmd.captionBold());
    EXPECT_TRUE(browse->font().bold());
    EXPECT_FALSE(m.Brw2Cmd.captionBold());
}

TEST_F(MainWindowBinding, PreviewShowsWhatApplyWouldStart) {
    auto* preview = widget<QTextEdit>("CommandPreview");
    ASSERT_TRUE(preview->isReadOnly());
    // Under the frames, nothing moved; the picture's button at the right end of the strip.
    auto* picture = widget<QPushButton>("PictureCmd");
    EXPECT_EQ(QRect(8, 436, 495 - picture->width() - 8, preview->height()), preview->geometry());
    EXPECT_EQ(QPoint(8 + 495 - picture->width(), 436), picture->pos());
    EXPECT_TRUE(preview->font().fixedPitch() && QFontInfo(preview->font()).fixedPitch()) << "-I and -l differ";

    QTest::keyClicks(widget<QLineEdit>("InfileTxt"), "in.gen");
    EXPECT_TRUE(preview->toPlainText().startsWith(QStringLiteral("perl -S mapfeed.pl -I in.gen -D ")));
    m.ThemeCmb.userPicks("Point");  // writes slot 4: the preview follows the table too
    EXPECT_TRUE(preview->toPlainText().contains(QStringLiteral(" -P P ")));
    EXPECT_TRUE(preview->toPlainText().contains(QStringLiteral(" -S A "))) << "what Apply derives is shown";
    EXPECT_EQ("", app.options.flag(3)) << "showing it writes nothing";

    world.files["in.gen"] = FileCheck::Exists;
    world.files["out.dgn"] = FileCheck::Exists;
    m.DgnFileTxt.userTypes("out.dgn");
    const QString shown = shownText(preview);
    EXPECT_EQ(shown, preview->toolTip()) << "the tip is the line itself";
    m.ApplyCmd.userClicks();
    ASSERT_LE(2u, world.events.size());
    EXPECT_EQ("start " + mapfeed::testing::quoted(shown.toStdString()), world.events[world.events.size() - 2]);
    EXPECT_EQ(shown, shownText(preview));
}

TEST_F(MainWindowBinding, PreviewHidesNothingAndReordersNothing) {
    auto* preview = widget<QTextEdit>("CommandPreview");
    // A carriage return, a right-to-left override, a zero-width space, a tag character (outside
    // the 16-bit range) and a soft hyphen; then a Hebrew name, which reads right to left as it should.
    m.InfileTxt.userTypes("a\rb\u202Egpj.exe\u200Bc\U000E0041d\u00ADe");
    m.TblnmTxt.userTypes("\u05D3\u05E8\u05DB\u05D9\u05DD");
    const QString shown = shownText(preview);
    EXPECT_TRUE(shown.contains(QStringLiteral("-I a\u240Db\u2039U+202E\u203Agpj.exe\u2039U+200B\u203Ac"
                                              "\u2039U+E0041\u203Ad\u2039U+00AD\u203Ae ")))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("\u05D3\u05E8\u05DB\u05D9\u05DD"))) << shown.toStdString();
    for (const char32_t c : shown.toUcs4())
        EXPECT_NE(QChar::Other_Format, QChar::category(c)) << "U+" << std::hex << static_cast<unsigned>(c);
}

TEST_F(MainWindowBinding, PreviewWrapsAndStretchesWithTheWindow) {
    auto* preview = widget<QTextEdit>("CommandPreview");
    const QString path = QStringLiteral("/data/") + QString(300, QLatin1Char('p')) + QStringLiteral(".gen");
    m.InfileTxt.userTypes(path.toStdString());
    m.TblnmTxt.userTypes("roads");
    const QString command = QString::fromStdString(m.previewCommandLine());
    EXPECT_EQ(command, shownText(preview));
    EXPECT_EQ(command, preview->toolTip());
    // Lines break after blanks only; the path, longer than a line, breaks where the line is full.
    const QStringList lines = preview->toPlainText().split(QLatin1Char('\n'));
    ASSERT_LT(2, lines.size());
    const QFontMetricsF metrics(preview->font());
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const bool insidePath = lines[i].endsWith(QLatin1Char('p')) && lines[i + 1].startsWith(QLatin1Char('p'));
        EXPECT_TRUE(lines[i].endsWith(QLatin1Char(' ')) || insidePath) << lines[i].toStdString();
        EXPECT_LE(metrics.horizontalAdvance(lines[i]), preview->document()->textWidth() - 4) << lines[i].toStdString();
    }
    EXPECT_EQ(QStringLiteral("perl -S mapfeed.pl -I "), lines[0]) << "the path starts a line of its own";
    // Every line shows: the window grew, the preview holds its whole text, nothing scrolls;
    // on a screen too low for that, the window stays on it and the preview scrolls.
    const QRect screen = view->screen()->availableGeometry();
    EXPECT_LE(preview->geometry().bottom(), view->height() - 1);
    if (screen.height() < 600) {
        EXPECT_LE(view->height(), std::max(screen.height(), 436 + 22 + 8)) << "no taller than the screen or the layout";
        EXPECT_LT(0, preview->verticalScrollBar()->maximum());
        return;
    }
    EXPECT_GT(view->height(), 436 + 8 + 2 * 22);
    EXPECT_LE(preview->document()->size().height(), preview->viewport()->height());
    EXPECT_EQ(0, preview->verticalScrollBar()->maximum());
    EXPECT_EQ(QPoint(8, 436), preview->pos()) << "the frames above stay where they are";

    view->resize(900, view->height());
    EXPECT_EQ(884 - widget<QPushButton>("PictureCmd")->width() - 8, preview->width()) << "stretches with the window";
    const int wide = view->minimumHeight();
    view->resize(900, wide);
    m.InfileTxt.userTypes("in.gen");
    EXPECT_LT(view->height(), wide) << "a window the preview grew shrinks back with it";
    EXPECT_EQ(preview->geometry().bottom() + 1 + 8, view->height());

    // Selectable and copyable from the keyboard, though nobody can type into it.
    preview->setFocus();
    QTest::keyClick(preview, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(preview, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QString::fromStdString(m.previewCommandLine()), QGuiApplication::clipboard()->text())
        << "copied as composed, without the preview's own line breaks";
    QTest::keyClicks(preview, "x");
    EXPECT_EQ(QString::fromStdString(m.previewCommandLine()), shownText(preview));
}

TEST_F(MainWindowBinding, EveryControlHasAnAccessibleName) {
    m.ClearCmd.userClicks();  // makes every dialog
    app.dialogs.get<BrowseWindow>().show();
    for (Window* window : app.windows()) {
        WindowView* v = host.view(*window);
        for (Control* control : window->tabOrder()) {
            QWidget* w = v->widgetFor(*control);
            QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(w);
            ASSERT_NE(nullptr, a11y);
            EXPECT_FALSE(a11y->text(QAccessible::Name).isEmpty()) << window->name() << "." << control->name();
            EXPECT_FALSE(w->accessibleName().isEmpty()) << window->name() << "." << control->name();
        }
    }
    auto name = [&](Control& c) {
        return QAccessible::queryAccessibleInterface(view->widgetFor(c))->text(QAccessible::Name);
    };
    EXPECT_EQ(QStringLiteral("Input file"), name(m.InfileTxt));
    EXPECT_EQ(QStringLiteral("Data Theme"), name(m.ThemeCmb));
    EXPECT_EQ(QStringLiteral("Output line symbology"), name(m.LinsymCmd));
    EXPECT_EQ(QStringLiteral("base location on center of grid cell"), name(m.RasterChck));
    EXPECT_EQ(QStringLiteral("Centroid Table Name"), name(m.TblnmTxt));
    m.ThemeCmb.userPicks("Point");
    EXPECT_EQ(QStringLiteral("Point Table Name"), name(m.TblnmTxt)) << "the name follows its label";
    EXPECT_EQ(QStringLiteral("Command line"),
              QAccessible::queryAccessibleInterface(widget<QTextEdit>("CommandPreview"))->text(QAccessible::Name));
}

TEST_F(MainWindowBinding, ScreenReadersHearAWindowAndNamedLists) {
    EXPECT_EQ(QAccessible::Window, QAccessible::queryAccessibleInterface(view)->role());
    m.ClearCmd.userClicks();
    EXPECT_EQ(QAccessible::Dialog, QAccessible::queryAccessibleInterface(host.view(app.dialogs.get<PointSymbologyDialog>()))->role());

    // A list is named by its label or role and still tells its value and its entries.
    QAccessibleInterface* theme = QAccessible::queryAccessibleInterface(view->widgetFor(m.ThemeCmb));
    EXPECT_EQ(QAccessible::ComboBox, theme->role());
    EXPECT_EQ(QStringLiteral("Data Theme"), theme->text(QAccessible::Name));
    EXPECT_EQ(QString::fromStdString(m.ThemeCmb.text()), theme->text(QAccessible::Value));
    ASSERT_EQ(2, theme->childCount()) << "its entries and its text part";
    EXPECT_EQ(QAccessible::List, theme->child(0)->role());
    EXPECT_EQ(4, theme->child(0)->childCount());
    EXPECT_EQ(0, theme->indexOfChild(theme->child(0)));

    app.dialogs.get<BrowseWindow>().show();
    BrowseWindow& browse = app.dialogs.get<BrowseWindow>();
    WindowView* browseView = host.view(browse);
    const std::pair<Control*, const char*> lists[] = {
        {&browse.Drive1, "Drives"}, {&browse.ExtCmbo, "File name pattern"}, {&browse.Dir1, "Folders"}, {&browse.File1, "Files"}};
    for (const auto& [control, expected] : lists)
        EXPECT_EQ(QString::fromLatin1(expected),
                  QAccessible::queryAccessibleInterface(browseView->widgetFor(*control))->text(QAccessible::Name));
}

TEST_F(MainWindowBinding, EnterClicksTheFocusedButtonOnly) {
    auto* infile = widget<QLineEdit>("InfileTxt");
    QTest::keyClicks(infile, "typed");
    QTest::keyClick(infile, Qt::Key_Return);  // in a field: no button is pressed
    EXPECT_EQ("typed", m.InfileTxt.text());
    EXPECT_TRUE(world.events.empty());
    QTest::keyClick(widget<QPushButton>("ClearCmd"), Qt::Key_Return);
    EXPECT_EQ("", m.InfileTxt.text());
}

// What the scenario language cannot say: the Escape, Enter and arrow keys on the lists and
// the option buttons, and what a screen reader is told about the option buttons.

#include <QAbstractItemView>
#include <QAccessible>
#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include "app/Application.h"
#include "tests/support/WindowLookup.h"
#include "platform/QtHost.h"
#include "tests/binding/MainWindowFixture.h"

using namespace mapfeed;

class KeyboardBinding : public mapfeed::testing::MainWindowFixture {
protected:
    KeyboardBinding() {
        view->activateWindow();
        QCoreApplication::processEvents();
    }
};

TEST_F(KeyboardBinding, OpeningAListAndEscapeRunNoRule) {
    auto* theme = widget<QComboBox>("ThemeCmb");
    theme->setFocus();
    QTest::keyClick(theme, Qt::Key_F4);
    ASSERT_TRUE(theme->view()->isVisible());
    QTest::keyClick(theme->view(), Qt::Key_Escape);
    EXPECT_FALSE(theme->view()->isVisible());
    widget<QLineEdit>("TblnmTxt")->setFocus();
    EXPECT_EQ("", app.options.flag(4));
    EXPECT_EQ("Area - lines & centroids", m.ThemeCmb.text());
}

TEST_F(KeyboardBinding, EnterInATypedEntryRunsNoRule) {
    auto* type = widget<QComboBox>("CentrCmb");
    type->setFocus();
    type->lineEdit()->selectAll();
    QTest::keyClicks(type, "Cells");
    QTest::keyClick(type, Qt::Key_Return);
    widget<QLineEdit>("CentrTxt")->setFocus();
    EXPECT_EQ("Cells", m.CentrCmb.text());
    EXPECT_EQ(nullptr, mapfeed::testing::findWindow(app, "cellopts")) << "the cell dialog opened";
}

TEST_F(KeyboardBinding, ArrowKeysStartFromTheShownEntry) {
    auto* theme = widget<QComboBox>("ThemeCmb");
    theme->setFocus();
    // Start-up shows entry 1; Up picks entry 0.
    QTest::keyClick(theme, Qt::Key_Up);
    EXPECT_EQ("Area - polygons", m.ThemeCmb.text());
    EXPECT_EQ("A", app.options.value(4));
    QTest::keyClick(theme, Qt::Key_End);  // in the text part: the cursor, no pick
    m.ThemeCmb.userPicks("Point");
    m.ClearCmd.userClicks();
    // "Clear" shows entry 0 again, and the open list highlights it.
    EXPECT_EQ(0, theme->currentIndex());
    theme->showPopup();
    EXPECT_EQ(0, theme->view()->currentIndex().row());
    theme->hidePopup();
    QTest::keyClick(theme, Qt::Key_Down);
    EXPECT_EQ("Area - lines & centroids", m.ThemeCmb.text());
    EXPECT_EQ("L", app.options.value(4));
}

TEST_F(KeyboardBinding, ARuleWritingNoEntryLeavesNoCurrentEntry) {
    auto* source = widget<QComboBox>("SrcCmb");
    m.SrcCmb.setText("Shapefile");
    EXPECT_EQ(-1, source->currentIndex());
    EXPECT_EQ(QStringLiteral("Shapefile"), source->currentText());
}

TEST_F(KeyboardBinding, OptionButtonsAreRadioButtonsOfOneGroup) {
    auto* lines = widget<QRadioButton>("LineOpt");
    auto* curves = widget<QRadioButton>("CrvOpt");
    ASSERT_NE(nullptr, lines->group());
    EXPECT_EQ(lines->group(), curves->group());
    EXPECT_TRUE(lines->group()->exclusive());
    EXPECT_EQ(QSize(73, 25), lines->size());
    EXPECT_EQ(QSize(97, 25), curves->size());
    EXPECT_EQ(QAccessible::RadioButton, QAccessible::queryAccessibleInterface(curves)->role());

    // A click right of the caption, inside the layout box, selects.
    QTest::mouseClick(curves, Qt::LeftButton, Qt::NoModifier, QPoint(curves->width() - 3, curves->height() / 2));
    EXPECT_TRUE(m.CrvOpt.selected());
    EXPECT_FALSE(lines->isChecked());

    // The arrow keys move to the other button and select it.
    curves->setFocus();
    QTest::keyClick(curves, Qt::Key_Left);
    EXPECT_TRUE(m.LineOpt.selected());
    EXPECT_FALSE(m.CrvOpt.selected());
    EXPECT_TRUE(lines->hasFocus());
}

#include "app/DialogTable.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "app/Application.h"
#include "browse/BrowseWindow.h"
#include "dialogs/SymbologyDialog.h"
#include "dialogs/TextSymbologyDialog.h"
#include "tests/support/FakeWorld.h"

using namespace mapfeed;

namespace {

class DialogTableTest : public ::testing::Test {
protected:
    DialogTableTest() { app.start(); }

    struct CountingWorld : mapfeed::testing::FakeWorld {
        int made = 0;
        void created(Window&) override { ++made; }
    } world;
    Application app{world, world};
};

/// A window type the application never adds.
struct Stray : Window {
    static constexpr const char* kName = "stray";
    explicit Stray(WindowHost& host) : Window(host, kName, "", 0, 0) {}
};

}  // namespace

// The refusal of "Apply" sends the user to the fields of the dialog that writes a slot: a
// dialog that names a slot must have fields for it, and one that does not must have none.
TEST_F(DialogTableTest, EveryDialogHasFieldsForExactlyTheSlotsItWrites) {
    for (int slot = 0; slot < OptionTable::kSlots; ++slot) {
        OptionDialog* writer = app.dialogs.writerOf(static_cast<Slot>(slot));
        for (OptionDialog* dialog : app.dialogs.optionDialogs()) {
            const bool writes = dialog == writer;
            EXPECT_EQ(writes, !dialog->fieldsOf(static_cast<Slot>(slot)).empty())
                << dialog->name() << " and slot " << slot;
        }
    }
}

TEST_F(DialogTableTest, AWindowIsMadeOnceUntilItIsDiscarded) {
    const int before = world.made;
    PointSymbologyDialog& first = app.dialogs.get<PointSymbologyDialog>();
    EXPECT_EQ(&first, &app.dialogs.get<PointSymbologyDialog>());
    EXPECT_NE(static_cast<SymbologyDialog*>(&first), &app.dialogs.get<LineSymbologyDialog>()) << "twins are two rows";
    EXPECT_EQ(before + 2, world.made);

    first.OutStyTxt.userTypes("7");
    app.closeThroughFrame(first);
    EXPECT_EQ((std::vector<Window*>{&app.mapfeed, &app.dialogs.get<LineSymbologyDialog>()}), app.windows());
    EXPECT_EQ("0", app.dialogs.get<PointSymbologyDialog>().OutStyTxt.text()) << "made afresh";
    EXPECT_EQ(before + 3, world.made);

    EXPECT_THROW(app.dialogs.get<Stray>(), std::logic_error);
}

TEST_F(DialogTableTest, ASlotOfTheMainWindowMakesNoDialog) {
    for (Slot slot : {Slot::Source, Slot::Theme, Slot::Table, Slot::Mslink, Slot::Curves})
        EXPECT_EQ(nullptr, app.dialogs.writerOf(slot));
    EXPECT_EQ(1u, app.windows().size());
    EXPECT_EQ(&app.dialogs.get<TextSymbologyDialog>(), app.dialogs.writerOf(Slot::TextSize));
}

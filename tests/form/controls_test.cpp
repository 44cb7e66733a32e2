#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "form/button.h"
#include "form/cancel_button.h"
#include "form/check_list_box.h"
#include "form/control.h"
#include "form/edit.h"
#include "form/gauge.h"
#include "form/grid_control.h"
#include "form/page_control.h"
#include "form/radio_group.h"
#include "form/spin_edit.h"
#include "form/timer.h"
#include "text/error.h"

namespace tarnwell {
namespace {

TEST(Hint, SplitsAtTheFirstBar) {
    struct Case {
        std::string hint, short_part, long_part;
    };
    const Case cases[] = {
        {"both", "both", "both"},
        {"tip|status bar", "tip", "status bar"},
        {"|status only", "", "status only"},
        {"tip|", "tip", ""},
        {"a|b|c", "a", "b|c"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        Control control;
        control.Hint = c.hint;
        EXPECT_EQ(control.ShortHint(), c.short_part) << c.hint;
        EXPECT_EQ(control.LongHint(), c.long_part) << c.hint;
    }
}

TEST(CheckListBox, AnyStateButUncheckedIsChosen) {
    CheckListBox list({"a", "b", "c"});
    EXPECT_FALSE(list.Checked(0));
    list.SetState(1, cbChecked);
    list.SetState(2, cbGrayed);
    EXPECT_FALSE(list.Checked(0));
    EXPECT_TRUE(list.Checked(1));
    EXPECT_TRUE(list.Checked(2));
    EXPECT_EQ(list.CheckedItems(), (std::vector<bool>{false, true, true}));
    list.SetAllChecked(true);
    EXPECT_EQ(list.State(2), cbChecked);
}

TEST(CheckListBox, OnlyTheUsersClicksRunTheHandler) {
    CheckListBox list({"a", "b"});
    int clicks = 0;
    list.OnClickCheck = [&] { ++clicks; };
    list.SetChecked(0, true);
    list.SetState(1, cbGrayed);
    list.SetAllChecked(false);
    EXPECT_EQ(clicks, 0);

    struct Case {
        CheckBoxState before, after;
    };
    const Case toggles[] = {{cbUnchecked, cbChecked}, {cbChecked, cbUnchecked}, {cbGrayed, cbChecked}};
    for (const auto& c : toggles) {
        list.SetState(0, c.before);
        list.UserToggle(0);
        EXPECT_EQ(list.State(0), c.after) << c.before;
    }
    list.UserSetState(1, cbGrayed);
    EXPECT_EQ(clicks, 4);
}

TEST(CheckListBox, IndexOutsideTheItemsIsAnError) {
    CheckListBox list({"a", "b", "c"});
    EXPECT_THROW(list.SetChecked(-1, true), Error);
    try {
        list.Checked(3);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (3)");
    }
}

TEST(RadioGroup, ItemIndexIsKeptWithinTheItems) {
    RadioGroup group("", {"a", "b", "c", "d"});
    int clicks = 0;
    group.OnClick = [&] { ++clicks; };
    struct Case {
        int set, expected;
    };
    const Case cases[] = {{2, 2}, {7, 3}, {-1, -1}, {-5, -1}, {0, 0}};
    for (const auto& c : cases) {
        group.SetItemIndex(c.set);
        EXPECT_EQ(group.ItemIndex(), c.expected) << c.set;
    }
    EXPECT_EQ(clicks, 0);
}

TEST(RadioGroup, UserSelectRunsTheHandlerWhenTheSelectionChanges) {
    RadioGroup group("", {"a", "b"});
    int clicks = 0;
    group.OnClick = [&] { ++clicks; };
    group.UserSelect(1);
    group.UserSelect(1);
    group.UserSelect(9);  // still the last item
    EXPECT_EQ(clicks, 1);
    group.UserSelect(0);
    EXPECT_EQ(group.ItemIndex(), 0);
    EXPECT_EQ(clicks, 2);
}

TEST(SpinEdit, ValueOfTheTypedText) {
    struct Case {
        int min, max;
        std::string typed;
        int value;
        std::string shown;
    };
    const Case cases[] = {
        {1, 20, "7", 7, "7"},          {1, 20, "25", 20, "20"}, {1, 20, "0", 1, "1"},
        {1, 20, "-3", 1, "1"},         {1, 20, "abc", 1, "1"},  {1, 20, "", 1, "1"},
        {1, 20, " 5", 1, "1"},         {0, 0, "-5", -5, "-5"},  {0, 0, "2147483647", 2147483647, "2147483647"},
        {0, 0, "99999999999", 0, "0"}, {0, 0, "12x", 0, "0"},   {5, 5, "3", 3, "3"},
    };
    for (const auto& c : cases) {
        SpinEdit spin(c.min, c.max, c.min);
        spin.UserSetText(c.typed);
        EXPECT_EQ(spin.Value(), c.value) << c.typed;
        EXPECT_EQ(spin.Text(), c.typed) << c.typed;  // reading leaves the typed text
        EXPECT_EQ(spin.ShowValue(), c.value) << c.typed;
        EXPECT_EQ(spin.Text(), c.shown) << c.typed;
    }
}

TEST(SpinEdit, SetValueClampsAndRunsNoHandler) {
    SpinEdit precision(1, 20, 2);
    SpinEdit unbounded(0, 0, 200000);
    int changes = 0;
    precision.OnChange = [&] { ++changes; };
    EXPECT_EQ(precision.Text(), "2");
    EXPECT_EQ(unbounded.Value(), 200000);
    precision.SetValue(25);
    EXPECT_EQ(precision.Text(), "20");
    precision.SetValue(0);
    EXPECT_EQ(precision.Value(), 1);
    unbounded.SetValue(-7);
    EXPECT_EQ(unbounded.Value(), -7);
    EXPECT_EQ(changes, 0);
}

TEST(SpinEdit, EveryChangeOfTheTypedTextRunsTheHandler) {
    SpinEdit spin(1, 20, 2);
    int changes = 0;
    spin.OnChange = [&] { ++changes; };
    spin.UserSetText("");
    spin.UserSetText("1");
    spin.UserSetText("15");
    spin.UserSetText("15");
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(spin.Value(), 15);
}

TEST(Gauge, PositionStaysWithinTheRange) {
    Gauge gauge;
    EXPECT_FALSE(gauge.Visible);
    gauge.SetRange(0, 10);
    gauge.SetPosition(11);
    EXPECT_EQ(gauge.Position(), 10);
    gauge.SetPosition(-1);
    EXPECT_EQ(gauge.Position(), 0);
    gauge.SetPosition(7);
    gauge.SetRange(0, 5);
    EXPECT_EQ(gauge.Position(), 5);
    gauge.SetRange(3, 1);
    EXPECT_EQ(gauge.Max(), 3);
    EXPECT_EQ(gauge.Position(), 3);
}

// The user's click stays a request until the next save begins; a disabled button takes none.
TEST(CancelButton, ClickLeavesARequestUntilTheNextSaveArmsIt) {
    CancelButton cancel;
    EXPECT_FALSE(cancel.Visible);
    cancel.Arm();
    cancel.Click();
    EXPECT_TRUE(cancel.Requested());
    cancel.Arm();
    EXPECT_FALSE(cancel.Requested());
    cancel.Enabled = false;
    cancel.Click();
    EXPECT_FALSE(cancel.Requested());
}

TEST(PageControl, OnlyAPageChangeOnTheControlRunsTheHandler) {
    PageControl pages(5);
    int changes = 0;
    pages.OnChange = [&] { ++changes; };
    pages.SetActivePageIndex(2);
    EXPECT_EQ(pages.ActivePageIndex(), 2);
    EXPECT_EQ(changes, 0);
    pages.UserSelectPage(2);
    EXPECT_EQ(changes, 0);
    pages.UserSelectPage(4);
    EXPECT_EQ(changes, 1);
    pages.SetActivePageIndex(5);
    EXPECT_EQ(pages.ActivePageIndex(), -1);
}

TEST(Timer, TicksOnlyWhileEnabled) {
    Timer timer;
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    timer.Tick();
    timer.Enabled = true;
    timer.Tick();
    timer.Tick();
    EXPECT_EQ(ticks, 2);
}

// The window writes the user's edits through these; each refuses what the view must not allow.
TEST(GridControl, UserEditsOnlyWhereTheUserMay) {
    // 6 columns, header row and header column, column 3 hidden; a check box in (5, 1) and in the fixed
    // column at (0, 2).
    auto make = [] {
        auto grid = std::make_unique<GridControl>(6, 4);
        grid->SetFixedCols(1);
        grid->Editable = true;
        grid->HideColumn(3);
        grid->AddCheckBox(5, 1, false);
        grid->AddCheckBox(0, 2, false);
        return grid;
    };
    struct Case {
        int col, row;
        bool edits, toggles;
    };
    const Case cases[] = {
        {1, 1, true, false},    // a plain cell: text only
        {5, 1, true, true},     // a check box cell
        {0, 2, false, false},   // the fixed column, check box or not
        {2, 0, false, false},   // the header row
        {3, 1, false, false},   // a hidden column
        {2, 4, false, false},   // below the row count
        {6, 1, false, false},   // beyond the column count
        {-1, 1, false, false},  // hostile coordinates
        {1, -1, false, false},
    };
    for (const Case& c : cases) {
        auto grid = make();
        const std::uint64_t before = grid->Revision();
        EXPECT_EQ(grid->UserSetCellText(c.col, c.row, "new"), c.edits) << c.col << "," << c.row;
        EXPECT_EQ(grid->GetCellEx(c.col, c.row) == "new", c.edits) << c.col << "," << c.row;
        EXPECT_EQ(grid->UserToggleCheckBox(c.col, c.row), c.toggles) << c.col << "," << c.row;
        bool state = false;
        EXPECT_EQ(grid->GetCheckBoxState(c.col, c.row, state) && state, c.toggles) << c.col << "," << c.row;
        EXPECT_EQ(grid->Revision() != before, c.edits || c.toggles) << c.col << "," << c.row;
    }

    // A grid that is not editable, or disabled, takes nothing.
    for (bool editable : {false, true}) {
        auto grid = make();
        grid->Editable = editable;
        grid->Enabled = false;
        EXPECT_FALSE(grid->UserSetCellText(1, 1, "new"));
        EXPECT_FALSE(grid->UserToggleCheckBox(5, 1));
    }

    // Column widths: only on a resizable grid and within its columns.
    auto grid = make();
    EXPECT_FALSE(grid->UserSetColWidth(1, 90));
    grid->Resizable = true;
    EXPECT_TRUE(grid->UserSetColWidth(1, 90));
    EXPECT_EQ(grid->ColWidths(1), 90);
    EXPECT_FALSE(grid->UserSetColWidth(5, 90));  // 5 display columns with column 3 hidden
    EXPECT_FALSE(grid->UserSetColWidth(1, -1));
}

// A disabled control takes none of the user's actions and runs no handler.
TEST(Control, DisabledControlsTakeNoUserAction) {
    int handled = 0;
    auto count = [&] { ++handled; };
    Button button;
    button.OnClick = count;
    Edit edit;
    edit.OnChange = count;
    CheckListBox list({"a"});
    list.OnClickCheck = count;
    RadioGroup group("", {"a", "b"});
    group.OnClick = count;
    SpinEdit spin(1, 20, 2);
    spin.OnChange = count;
    PageControl pages(3);
    pages.OnChange = count;
    std::vector<Control*> controls = {&button, &edit, &list, &group, &spin, &pages};
    auto act = [&] {
        button.Click();
        edit.UserSetText("x");
        list.UserToggle(0);
        list.UserSetState(0, cbGrayed);
        group.UserSelect(1);
        spin.UserSetText("5");
        pages.UserSelectPage(2);
    };
    for (Control* control : controls) control->Enabled = false;
    act();
    EXPECT_EQ(handled, 0);
    EXPECT_EQ(edit.Text, "");
    EXPECT_FALSE(list.Checked(0));
    EXPECT_EQ(group.ItemIndex(), -1);
    EXPECT_EQ(spin.Text(), "2");
    EXPECT_EQ(pages.ActivePageIndex(), 0);

    for (Control* control : controls) control->Enabled = true;
    act();
    EXPECT_EQ(handled, 7);
}

}  // namespace
}  // namespace tarnwell

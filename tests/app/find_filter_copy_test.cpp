// Find, filter and copy over the window's tables, through the controls as a window drives them.

#include <string>
#include <vector>

#include "tf_send_fixture.h"

namespace tarnwell::app_testing {
namespace {

using namespace literals;

// A day's log of four requests under its header row.
constexpr std::string_view kDayLog =
    ("time\tuser\turl\r\n"
     "10:00\tivanov\thttp://a.ru/\r\n"
     "10:01\tpetrov\tЁлка\r\n"
     "10:02\tIVANOV\thttp://b.ru/ivanov\r\n"
     "10:03\tsidorov\tелка\r\n"_cp);

class FindFilterCopyTest : public TFSendTest {
protected:
    // The window with the day's log shown on the viewer page.
    FormControls& ViewerWithDayLog(bool own_jobs = false) {
        WriteFile(folder_ / "day.log", std::string(kDayLog));
        std::string settings = Settings(false, false, false);
        settings.replace(settings.find("LastPath=") + 9, 0, (folder_ / "day.log").string());
        WriteFile(SettingsPath(), settings);
        TFSend& form = own_jobs ? FormWithItsOwnJobs() : Form();
        form.FormCreate(std::nullopt);
        FormControls& c = form.Controls();
        c.SpeedButton3.Click();
        c.PFind.UserOpen();
        return c;
    }
    std::string Outcome() { return Cp1251ToUtf8(form_->Controls().StatBar.Outcome); }
};

// Next and previous walk the matches in reading order and wrap at either end, saying so; the match is
// the grid's selection. Whole cell leaves out the cells that only hold the text.
TEST_F(FindFilterCopyTest, NextAndPreviousWrapAndWholeCellNarrows) {
    FormControls& c = ViewerWithDayLog();
    ASSERT_TRUE(c.PFind.Visible);
    c.EFind.UserSetText("IvAnOv");
    struct Step {
        bool next;
        bool whole;
        GridCell selected;
        const char* outcome;
    };
    const Step steps[] = {
        {true, false, {1, 1}, "Найдено: строка 1 из 4"},
        {true, false, {1, 3}, "Найдено: строка 3 из 4"},
        {true, false, {2, 3}, "Найдено: строка 3 из 4"},
        {true, false, {1, 1}, "Найдено: строка 1 из 4 (поиск продолжен с начала таблицы)"},
        {false, false, {2, 3}, "Найдено: строка 3 из 4 (поиск продолжен с конца таблицы)"},
        {false, false, {1, 3}, "Найдено: строка 3 из 4"},
        {true, true, {1, 1}, "Найдено: строка 1 из 4 (поиск продолжен с начала таблицы)"},  // not b.ru/ivanov
        {true, true, {1, 3}, "Найдено: строка 3 из 4"},
    };
    for (const Step& step : steps) {
        if (c.CBWholeCell.Checked != step.whole) c.CBWholeCell.UserToggle();
        step.next ? c.SBFindNext.Click() : c.SBFindPrev.Click();
        EXPECT_EQ(c.SG1.Active(), step.selected) << step.outcome;
        EXPECT_EQ(Outcome(), step.outcome);
    }
    // Cyrillic letters in either case, Ё as Е; Enter in the box finds the next one.
    c.CBWholeCell.UserToggle();
    c.EFind.UserSetText(Utf8ToCp1251("ЕЛКА"));
    c.EFind.UserAccept();
    EXPECT_EQ(c.SG1.Active(), (GridCell{2, 4}));
    c.EFind.UserAccept();
    EXPECT_EQ(c.SG1.Active(), (GridCell{2, 2}));  // Ёлка
    EXPECT_EQ(log_.events, Events{});
}

TEST_F(FindFilterCopyTest, NothingFoundIsSaidAndTheSelectionStays) {
    FormControls& c = ViewerWithDayLog();
    c.EFind.UserSetText("petrov");
    c.SBFindNext.Click();
    c.EFind.UserSetText(Utf8ToCp1251("кузнецов"));
    c.SBFindNext.Click();
    EXPECT_EQ(c.SG1.Active(), (GridCell{1, 2}));
    EXPECT_EQ(Outcome(), "Не найдено: «кузнецов»");
    // The settings page has no table: Ctrl+F there opens nothing.
    c.PFind.UserClose();
    c.SpeedButton4.Click();
    c.PFind.UserOpen();
    EXPECT_FALSE(c.PFind.Visible);
}

// The find bar searches the table of the page shown: here the limits, logins in the fixed column too.
TEST_F(FindFilterCopyTest, FindsInThePageShown) {
    FormControls& c = ViewerWithDayLog();
    c.SBLimit.Click();
    c.EFind.UserSetText("PETROV");
    c.SBFindNext.Click();
    ASSERT_NE(c.ASGLimit.Active(), GridCell{});
    EXPECT_EQ(c.ASGLimit.GetCellEx(c.ASGLimit.RealColIndex(c.ASGLimit.Active().col), c.ASGLimit.Active().row),
              "petrov");
    EXPECT_EQ(c.SG1.Active(), GridCell{});
}

// The filter shows the header and the rows holding its text; find and copy go by the rows shown; saving
// still saves every row; an emptied box shows every row again.
TEST_F(FindFilterCopyTest, FilterThenFindCopyAndSave) {
    FormControls& c = ViewerWithDayLog(true);
    c.EFilter.UserSetText("ivanov");
    EXPECT_EQ(c.SG1.Filter(), nullptr);  // the text waits for Enter
    c.EFilter.UserAccept();
    ASSERT_NE(c.SG1.Filter(), nullptr);
    EXPECT_EQ(c.SG1.ShownRowCount(), 3);
    EXPECT_EQ(Outcome(), "Фильтр «ivanov»: показано строк 2 из 4");

    c.EFind.UserSetText("10:0");
    c.SBFindNext.Click();
    c.SBFindNext.Click();
    EXPECT_EQ(c.SG1.Active(), (GridCell{0, 2}));  // shown row 2 is the grid's row 3
    EXPECT_EQ(Outcome(), "Найдено: строка 3 из 4");

    ASSERT_TRUE(c.SG1.UserSelect({0, 1}, {0, 1, 1, 2}));
    c.SG1.UserCopy();
    EXPECT_EQ(log_.events, Events{"clipboard: 10:00\tivanov\r\n10:02\tIVANOV\r\n"});

    const fs::path saved = folder_ / "saved.htm";
    host_.save_dialog = [&](SaveDialog& dialog) {
        dialog.FileName = saved.string();
        return true;
    };
    c.SBSave.Click();
    const std::string page = ReadFile(saved);
    for (const char* text : {"petrov", "sidorov", "ivanov", "IVANOV"}) {
        EXPECT_NE(page.find(text), std::string::npos) << text;
    }

    c.EFilter.UserSetText("");
    EXPECT_EQ(c.SG1.Filter(), nullptr);
    EXPECT_EQ(c.SG1.ShownRowCount(), 5);
    EXPECT_EQ(Outcome(), "Показаны все строки: 4");
    ASSERT_TRUE(c.SG1.UserSelect({2, 4}, {2, 4, 1, 3}));  // dragged up and to the left
    c.SG1.UserCopy();
    EXPECT_EQ(log_.events.back(), Cp1251ToUtf8("clipboard: IVANOV\thttp://b.ru/ivanov\r\nsidorov\tелка\r\n"_cp));
}

// Nothing selected, nothing copied: the clipboard keeps what it had.
TEST_F(FindFilterCopyTest, CopyWithoutSelectionLeavesTheClipboard) {
    FormControls& c = ViewerWithDayLog();
    c.SG1.UserCopy();
    c.ASGRead.UserCopy();
    EXPECT_EQ(log_.events, Events{});
}

}  // namespace
}  // namespace tarnwell::app_testing

#include <gtest/gtest.h>

#include "mail/personal_letter.h"
#include "text/cp1251.h"

namespace tarnwell {
namespace {

std::tm Time(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

TEST(LetterDateText, RussianDateAndTimeWithoutTimeAtMidnight) {
    EXPECT_EQ(LetterDateText(Time(2026, 3, 5, 9, 7, 4)), "05.03.2026 9:07:04");
    EXPECT_EQ(LetterDateText(Time(2026, 12, 31, 23, 59, 59)), "31.12.2026 23:59:59");
    EXPECT_EQ(LetterDateText(Time(2026, 1, 1, 0, 0, 0)), "01.01.2026");
    EXPECT_EQ(LetterDateText(Time(2026, 1, 1, 0, 0, 1)), "01.01.2026 0:00:01");
}

// Row 1 of a converted statistics table.
class LetterTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* cells[] = {"",        "ivan",     "Иван Петров", "1,5 Мб", "2 Кб", "3 б",
                               "4,1 Гб", "3600",     "5 Мб",        "6 Мб",   "Не установлено"};
        for (int col = 0; col < 11; ++col) grid_.SetCellEx(col, 1, Utf8ToCp1251(cells[col]));
    }
    std::vector<std::string> Letter(const std::vector<bool>& content) const {
        std::vector<std::string> lines;
        for (const std::string& line : BuildLetter(grid_, 1, content, "05.03.2026 9:07:04")) {
            lines.push_back(Cp1251ToUtf8(line));
        }
        return lines;
    }

    TTableGrid grid_{11, 3};
};

const std::vector<std::string> kOpening = {
    "Уважаемый Иван Петров(ivan) за текущий месяц трафик, наработанный вами",
    "",
    "в интернете на дату 05.03.2026 9:07:04 составляет:",
    "",
    "",
};

TEST_F(LetterTest, EachChosenItemAddsItsLabelledLine) {
    struct Case {
        int item;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {0, {"Скачано клиентом     1,5 Мб", ""}},
        {1, {"Скачано сервером     2 Кб", ""}},
        {2, {"Отправлено серверу   3 б", ""}},
        {3, {"Отправлено сервером  4,1 Гб", ""}},
        {4, {"Общее время          3600  секунд", ""}},
        {5, {"Выданный лимит       5 Мб", ""}},
        {6, {"Остаток лимита       6 Мб", ""}},
        {7, {"Ежемесячный лимит    Не установлено"}},
    };
    for (const Case& c : cases) {
        std::vector<bool> content(8, false);
        content[static_cast<std::size_t>(c.item)] = true;
        std::vector<std::string> expected = kOpening;
        expected.insert(expected.end(), c.lines.begin(), c.lines.end());
        EXPECT_EQ(Letter(content), expected) << "item " << c.item;
    }
}

TEST_F(LetterTest, NoItemGivesTheOpeningAloneAndAllItemsComeInOrder) {
    EXPECT_EQ(Letter(std::vector<bool>(8, false)), kOpening);
    EXPECT_EQ(Letter({}), kOpening);
    std::vector<std::string> all = Letter(std::vector<bool>(8, true));
    ASSERT_EQ(all.size(), kOpening.size() + 15);
    EXPECT_EQ(all[5], "Скачано клиентом     1,5 Мб");
    EXPECT_EQ(all.back(), "Ежемесячный лимит    Не установлено");
}

TEST_F(LetterTest, EmptyNameAndAddressWithTheDomainAsItStands) {
    grid_.SetCellEx(2, 1, "");
    EXPECT_EQ(Letter({})[0], "Уважаемый (ivan) за текущий месяц трафик, наработанный вами");
    EXPECT_EQ(LetterAddress(grid_, 1, "corp.ru"), "ivan@corp.ru");
    EXPECT_EQ(LetterAddress(grid_, 1, ""), "ivan@");
}

}  // namespace
}  // namespace tarnwell

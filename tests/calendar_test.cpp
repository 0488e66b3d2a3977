// The calendar: date arithmetic against the C library's calendar, the grid
// fills for both week layouts, and the page drawn at fixed dates.
#include "content/Calendar.h"
#include "support/FakeClock.h"
#include "support/OverlayFixture.h"

#include <tuple>

using testsupport::OverlayFixture;
using testsupport::setLocalTime;

namespace {

using Names = std::vector<std::string>;

std::tm dateOf(int year, int month, int day) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    return t;
}

TEST(CalendarDates, WeekdaysAndMonthLengthsAgreeWithTheCLibraryFor1800To2400) {
    std::tm t = dateOf(1800, 1, 1);
    std::time_t when = timegm(&t);
    int checked = 0;
    for (; when < timegm(&(t = dateOf(2401, 1, 1))); when += 86400) {
        std::tm day{};
        gmtime_r(&when, &day);
        ASSERT_EQ(weekdayOf(day), day.tm_wday) << day.tm_year + 1900 << "-" << day.tm_mon + 1 << "-" << day.tm_mday;
        std::tm next{};
        const std::time_t following = when + 86400;
        gmtime_r(&following, &next);
        if (next.tm_mday == 1) {
            ASSERT_EQ(daysInMonth(day), day.tm_mday) << day.tm_year + 1900 << "-" << day.tm_mon + 1;
            ASSERT_EQ(firstWeekday(day), firstWeekday(dateOf(day.tm_year + 1900, day.tm_mon + 1, 1)));
        }
        ++checked;
    }
    EXPECT_GT(checked, 219000);
}

TEST(CalendarDates, LeapFebruariesAndEarlyMonthWeekdays) {
    EXPECT_EQ(daysInMonth(dateOf(2024, 2, 10)), 29);
    EXPECT_EQ(daysInMonth(dateOf(2023, 2, 10)), 28);
    EXPECT_EQ(daysInMonth(dateOf(2000, 2, 10)), 29);
    EXPECT_EQ(daysInMonth(dateOf(2100, 2, 10)), 28);  // a century not divisible by 400
    EXPECT_EQ(daysInMonth(dateOf(1900, 2, 10)), 28);
    EXPECT_EQ(daysInMonth(dateOf(2024, 4, 10)), 30);
    EXPECT_EQ(daysInMonth(dateOf(2024, 12, 10)), 31);
    // January and February count with the year before.
    EXPECT_EQ(weekdayOf(dateOf(2024, 1, 1)), 1);
    EXPECT_EQ(weekdayOf(dateOf(2000, 1, 1)), 6);
    EXPECT_EQ(weekdayOf(dateOf(2024, 2, 29)), 4);
    EXPECT_EQ(weekdayOf(dateOf(2000, 2, 29)), 2);
    EXPECT_EQ(weekdayOf(dateOf(2100, 2, 28)), 0);
    EXPECT_EQ(firstWeekday(dateOf(2100, 2, 28)), 1);
    // A month number outside the year has no days; nothing is read for it.
    EXPECT_EQ(daysInMonth(dateOf(2024, 13, 1)), 0);
    EXPECT_EQ(daysInMonth(dateOf(2024, 0, 1)), 0);
}

// The cells as rows of text, "." for an empty cell, for readable failures.
std::vector<std::string> rows(const std::int32_t* cells) {
    std::vector<std::string> out;
    for (int r = 0; r < 6; ++r) {
        std::string row;
        for (int c = 0; c < 7; ++c) {
            const std::int32_t v = cells[r * 7 + c];
            row += (c ? " " : "") + (v ? std::to_string(v) : std::string("."));
        }
        out.push_back(row);
    }
    return out;
}

TEST(CalendarGrid, SundayFirst) {
    CalendarDate date;
    std::int32_t cells[calendarCells];
    // March 2025 starts on Saturday and has 31 days: the sixth row is needed.
    ASSERT_TRUE(setLocalTime("2025-03-10 12:00:00"));
    fillSundayFirst(date, cells);
    EXPECT_EQ(date.year, 2025);
    EXPECT_EQ(date.month, 2);
    EXPECT_EQ(date.day, 10);
    EXPECT_EQ(rows(cells), (Names{". . . . . . 1", "2 3 4 5 6 7 8", "9 10 11 12 13 14 15", "16 17 18 19 20 21 22",
                                  "23 24 25 26 27 28 29", "30 31 . . . . ."}));
    // February 2100: 28 days from a Monday.
    ASSERT_TRUE(setLocalTime("2100-02-28 12:00:00"));
    fillSundayFirst(date, cells);
    EXPECT_EQ(rows(cells), (Names{". 1 2 3 4 5 6", "7 8 9 10 11 12 13", "14 15 16 17 18 19 20",
                                  "21 22 23 24 25 26 27", "28 . . . . . .", ". . . . . . ."}));
}

TEST(CalendarGrid, MondayFirst) {
    CalendarDate date;
    std::int32_t cells[calendarCells];
    // June 2025 starts on Sunday: the last column of the first row.
    ASSERT_TRUE(setLocalTime("2025-06-01 00:00:00"));
    fillMondayFirst(date, cells);
    EXPECT_EQ(date.day, 1);
    EXPECT_EQ(rows(cells), (Names{". . . . . . 1", "2 3 4 5 6 7 8", "9 10 11 12 13 14 15", "16 17 18 19 20 21 22",
                                  "23 24 25 26 27 28 29", "30 . . . . . ."}));
    // September 2025 starts on Monday: the first cell.
    ASSERT_TRUE(setLocalTime("2025-09-30 23:59:59"));
    fillMondayFirst(date, cells);
    EXPECT_EQ(rows(cells), (Names{"1 2 3 4 5 6 7", "8 9 10 11 12 13 14", "15 16 17 18 19 20 21",
                                  "22 23 24 25 26 27 28", "29 30 . . . . .", ". . . . . . ."}));
    // February 2024: 29 days from a Thursday.
    ASSERT_TRUE(setLocalTime("2024-02-29 07:05:00"));
    fillMondayFirst(date, cells);
    EXPECT_EQ(rows(cells), (Names{". . . 1 2 3 4", "5 6 7 8 9 10 11", "12 13 14 15 16 17 18", "19 20 21 22 23 24 25",
                                  "26 27 28 29 . . .", ". . . . . . ."}));
}

class CalendarPage : public OverlayFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(testsupport::windowContext());
        OverlayFixture::SetUp();
        lastCalendarDay = -1;
        lastCalendarMonth = -1;
    }

    void at(const char* when, SceneNode& root, std::uint32_t ticks) {
        ASSERT_TRUE(setLocalTime(when));
        frame(ticks, root);
    }

    // What a page draws after its background: weekday row, month, then the
    // 42 cells with the marker before today's.
    static Names page(const char* row, const char* month, int firstCell, int days, int today) {
        Names out{row, month};
        for (int i = 0; i < calendarCells; ++i) {
            const int day = i - firstCell + 1;
            if (day < 1 || day > days) {
                out.push_back("null");
                continue;
            }
            if (day == today) out.push_back("sel");
            out.push_back(std::to_string(day));
        }
        return out;
    }

    static Names withBackground(const char* background, Names rest) {
        rest.insert(rest.begin(), background);
        return rest;
    }

    static SceneNode* holder(SceneNode& calendar) { return calendar.children.at(1); }
};

TEST_F(CalendarPage, EnglishPageLayoutAndMarker) {
    SceneNode* calendar = carrier(buildCalendar, 1);
    at("2024-02-29 07:05:00", *calendar, 16);
    ASSERT_EQ(drawnNames(), withBackground("fon", page("day", "m2", 4, 29, 29)));
    // Positions relative to the calendar node (camera at z = +100).
    auto expectAt = [&](std::size_t index, double x, double y) {
        EXPECT_NEAR(drawn[index].modelView[12], x, 1e-9) << drawn[index].entry;
        EXPECT_NEAR(drawn[index].modelView[13], y, 1e-9) << drawn[index].entry;
        EXPECT_NEAR(drawn[index].modelView[14], -100, 1e-9) << drawn[index].entry;
    };
    expectAt(0, -16, -12);  // background
    expectAt(1, -16, 8);    // weekday row
    expectAt(2, -16, 16);   // month
    expectAt(3, -40, 0);    // first cell, top left
    expectAt(3 + 4, -8, 0); // the 1st, a Thursday
    // The 29th is cell 32: column 4, fifth row; its marker sits under it.
    const std::size_t marker = 3 + 32;
    ASSERT_EQ(drawn[marker].entry, "sel");
    expectAt(marker, -8, -32);
    expectAt(marker + 1, -8, -32);
    expectAt(drawn.size() - 1, 8, -40);  // last cell, bottom right
    // The page: 45 children (row, month, 42 cells, one marker).
    ASSERT_EQ(holder(*calendar)->children.size(), 1u);
    EXPECT_EQ(holder(*calendar)->children[0]->children.size(), 45u);
}

TEST_F(CalendarPage, RussianPageStartsOnMonday) {
    SceneNode* calendar = carrier(buildCalendar, 0);
    at("2024-02-01 10:00:00", *calendar, 16);
    EXPECT_EQ(drawnNames(), withBackground("fon_rus", page("day_rus", "m2", 3, 29, 1)));
}

TEST_F(CalendarPage, NewPageWhenTheDayChangesAndTheOldOneGoes) {
    SceneNode* calendar = carrier(buildCalendar, 1);
    at("2024-02-29 23:59:59", *calendar, 16);
    at("2024-02-29 23:59:59", *calendar, 32);
    const std::int64_t nodes = liveSceneNodes;
    const std::int32_t references = cache->refCount("calendar.pak");
    EXPECT_EQ(drawnNames(), withBackground("fon", page("day", "m2", 4, 29, 29)));

    at("2024-03-01 00:00:00", *calendar, 48);
    // The old page stops drawing in the frame of the change; the new one shows.
    EXPECT_EQ(drawnNames(), withBackground("fon", page("day", "m3", 5, 31, 1)));
    ASSERT_EQ(holder(*calendar)->children.size(), 2u);
    EXPECT_TRUE(holder(*calendar)->children[0]->removing);
    EXPECT_EQ(lastCalendarDay, 1);

    for (std::uint32_t ticks = 64; ticks <= 112; ticks += 16) at("2024-03-01 00:00:01", *calendar, ticks);
    EXPECT_EQ(holder(*calendar)->children.size(), 1u);
    EXPECT_EQ(liveSceneNodes, nodes);
    EXPECT_EQ(cache->refCount("calendar.pak"), references);
}

// A clock step by whole months or years keeps the day of the month: the
// page is still renewed, and the old one goes.
TEST_F(CalendarPage, SameDayNumberInAnotherMonthOrYearGetsItsOwnPage) {
    SceneNode* calendar = carrier(buildCalendar, 1);
    at("2024-03-15 12:00:00", *calendar, 16);
    const std::int64_t nodes = liveSceneNodes;
    std::uint32_t ticks = 32;
    for (const auto& [moment, month, first, days] :
         {std::make_tuple("2024-04-15 12:00:00", "m4", 1, 30), std::make_tuple("2025-04-15 12:00:00", "m4", 2, 30)}) {
        for (int frame = 0; frame < 4; ++frame, ticks += 16) at(moment, *calendar, ticks);
        EXPECT_EQ(drawnNames(), withBackground("fon", page("day", month, first, days, 15))) << moment;
        EXPECT_EQ(liveSceneNodes, nodes) << moment;
        EXPECT_EQ(holder(*calendar)->children.size(), 1u) << moment;
    }
}

}  // namespace

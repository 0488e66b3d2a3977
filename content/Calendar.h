// The calendar overlay: a page of the current month (background, month
// name, weekday row, six weeks of day numbers, a marker behind today),
// renewed whenever the day of the month changes. The default variant starts
// weeks on Sunday, the Russian one on Monday.
#pragma once

#include "scene/Motion.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

struct SceneNode;

// The date a grid was built for.
struct CalendarDate {
    std::int32_t year = 0;   // full year, e.g. 2009
    std::int32_t day = 0;    // day of the month, 1 ... 31
    std::int32_t month = 0;  // 0 ... 11
};

constexpr int calendarCells = 42;  // six weeks of seven days

// Entry names of "calendar.pak": index 0 is the empty cell "null", index k
// the day number k; months "m1" ... "m12" indexed 0 ... 11.
extern const char* const dayNames[32];
extern const char* const monthNames[12];

// The day of the month of the page shown; -1 at start, never reset.
extern std::int32_t lastCalendarDay;
// Its month, as calendarMonthOf counts them; -1 at start.
extern std::int32_t lastCalendarMonth;
// Months since the year 0 of a local time: a page is for one day of one
// month of one year, so a clock step by whole months changes the page too.
std::int32_t calendarMonthOf(const std::tm& t);

// One-shot builder on the calendar node: background and page holder; the
// motion's selector is 0 for the Russian variant, anything else the default.
void buildCalendar(MotionArgument);
// Per frame on the page holder (same selector): builds a page when the day,
// the month or the year differs from the one shown.
void refreshCalendar(MotionArgument);
// Per frame on a page (selector = the day it shows, selector2 its
// calendarMonthOf): asks for the page's removal once today is another day.
void dayExpiry(MotionArgument);

// Fill the 42 cells (0 = empty, otherwise the day number) and the date from
// the local time; cell i is column i mod 7, row i div 7.
void fillSundayFirst(CalendarDate& date, std::int32_t cells[calendarCells]);
void fillMondayFirst(CalendarDate& date, std::int32_t cells[calendarCells]);

// Number of days of the month of `t` (Gregorian leap years); 0 for a month
// number outside 0 ... 11.
std::int32_t daysInMonth(const std::tm& t);
// Weekday of the date of `t`, 0 = Sunday ... 6 = Saturday (Gregorian).
std::int32_t weekdayOf(const std::tm& t);
// Weekday of the first day of the month of `t`.
std::int32_t firstWeekday(const std::tm& t);

// What a calendar built by buildCalendar shows, as the last frame drew it:
// "calendar=" month entry, marked day, and the cell of the 1st
// ("calendar=-" before the first page).
std::string describeCalendar(const SceneNode& calendar);
// The entries of the 42 cells of that page, row by row ("null" for an
// empty cell); empty before the first page.
std::vector<std::string> calendarPageCells(const SceneNode& calendar);

#include "content/Calendar.h"

#include "content/OverlayLayout.h"
#include "scene/SceneNode.h"
#include "scene/WallClock.h"

#include <cstdint>

const char* const dayNames[32] = {"null", "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "10",
                                  "11",   "12", "13", "14", "15", "16", "17", "18", "19", "20", "21",
                                  "22",   "23", "24", "25", "26", "27", "28", "29", "30", "31"};
const char* const monthNames[12] = {"m1", "m2", "m3", "m4", "m5", "m6", "m7", "m8", "m9", "m10", "m11", "m12"};

namespace {

const char* const calendarPack = "calendar.pak";

// A model node placed at (x, y, 0).
SceneNode* placedModel(const char* entry, double x, double y) {
    SceneNode* node = new SceneNode;
    node->loadModel(calendarPack, entry);
    node->setPosition(x, y, 0);
    return node;
}

void fillDate(const std::tm& t, CalendarDate& date) {
    date.year = t.tm_year + 1900;
    date.month = t.tm_mon;
    date.day = t.tm_mday;
}

// Day numbers starting at cell `first`, zero elsewhere.
void fillFrom(std::int32_t first, std::int32_t days, std::int32_t cells[calendarCells]) {
    for (std::int32_t i = 0; i < calendarCells; ++i) cells[i] = (i < first || i >= first + days) ? 0 : i - first + 1;
}

}  // namespace

void buildCalendar(MotionArgument) {
    SceneNode* calendar = currentNode;
    // Selector 0 asks for the Russian page (weeks from Monday), any other the
    // English one (weeks from Sunday).
    const std::int32_t selector = currentMotion->selector;
    const bool english = selector != 0;
    calendar->addChild(
        placedModel(english ? "fon" : "fon_rus", overlayLayout::calendarPageX, overlayLayout::calendarPageY));

    SceneNode* holder = new SceneNode;
    holder->script.startNewStep({endlessMotion(refreshCalendar, selector)});
    calendar->addChild(holder);
}

std::int32_t calendarMonthOf(const std::tm& t) {
    const std::int64_t months = (static_cast<std::int64_t>(t.tm_year) + 1900) * 12 + t.tm_mon;
    return static_cast<std::int32_t>(months > INT32_MAX ? INT32_MAX : months < 0 ? 0 : months);
}

void refreshCalendar(MotionArgument) {
    const std::tm now = wallClockNow();
    const std::int32_t month = calendarMonthOf(now);
    if (now.tm_mday == lastCalendarDay && month == lastCalendarMonth) return;
    lastCalendarDay = now.tm_mday;
    lastCalendarMonth = month;
    const bool english = currentMotion->selector != 0;

    SceneNode* page = new SceneNode;
    Motion expiry = endlessMotion(dayExpiry, now.tm_mday);
    expiry.selector2 = month;
    page->script.startNewStep({expiry});
    currentNode->addChild(page);

    CalendarDate date;
    std::int32_t cells[calendarCells];
    SceneNode* weekdays = new SceneNode;
    if (english) {
        fillSundayFirst(date, cells);
        weekdays->loadModel(calendarPack, "day");
    } else {
        fillMondayFirst(date, cells);
        weekdays->loadModel(calendarPack, "day_rus");
    }
    weekdays->setPosition(overlayLayout::calendarPageX, overlayLayout::calendarWeekdaysY, 0);
    page->addChild(weekdays);

    const std::int32_t shownMonth = (date.month >= 0 && date.month < 12) ? date.month : 0;
    page->addChild(placedModel(monthNames[shownMonth], overlayLayout::calendarPageX, overlayLayout::calendarMonthY));

    for (std::int32_t i = 0; i < calendarCells; ++i) {
        const double x = overlayLayout::calendarCellX(i % 7);
        const double y = overlayLayout::calendarCellY(i / 7);
        const std::int32_t dayNumber = (cells[i] >= 0 && cells[i] <= 31) ? cells[i] : 0;
        SceneNode* cell = new SceneNode;
        cell->loadModel(calendarPack, dayNames[dayNumber]);
        // Today's marker goes in first so that the number is drawn over it.
        if (cells[i] == date.day) page->addChild(placedModel("sel", x, y));
        cell->setPosition(x, y, 0);
        page->addChild(cell);
    }
}

void dayExpiry(MotionArgument) {
    const std::tm now = wallClockNow();
    if (currentMotion->selector != now.tm_mday || currentMotion->selector2 != calendarMonthOf(now))
        currentNode->requestRemoval();
}

void fillSundayFirst(CalendarDate& date, std::int32_t cells[calendarCells]) {
    const std::tm now = wallClockNow();
    fillDate(now, date);
    fillFrom(firstWeekday(now), daysInMonth(now), cells);
}

void fillMondayFirst(CalendarDate& date, std::int32_t cells[calendarCells]) {
    const std::tm now = wallClockNow();
    fillDate(now, date);
    std::int32_t w = firstWeekday(now);
    if (w == 0) w = 7;  // Sunday closes the week
    fillFrom(w - 1, daysInMonth(now), cells);
}

std::int32_t daysInMonth(const std::tm& t) {
    static const std::int32_t days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (t.tm_mon < 0 || t.tm_mon > 11) return 0;
    if (t.tm_mon != 1) return days[t.tm_mon];
    const std::int64_t year = static_cast<std::int64_t>(t.tm_year) + 1900;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return leap ? 29 : 28;
}

std::int32_t weekdayOf(const std::tm& t) {
    const std::int64_t d = t.tm_mday;
    const std::int64_t month = static_cast<std::int64_t>(t.tm_mon) + 1;
    const std::int64_t a = (14 - month) / 12;
    const std::int64_t y = static_cast<std::int64_t>(t.tm_year) + 1900 - a;
    const std::int64_t m = month + 12 * a - 2;
    const std::int64_t sum = d + y + y / 4 - y / 100 + y / 400 + (31 * m) / 12 + 7000;
    // Stays in 0 ... 6 even for dates far before the common era.
    return static_cast<std::int32_t>(((sum % 7) + 7) % 7);
}

std::int32_t firstWeekday(const std::tm& t) {
    std::tm first = t;
    first.tm_mday = 1;
    return weekdayOf(first);
}

namespace {

// The newest page that did not ask for its removal: the one the last frame
// drew. Under the calendar: the background, then the page holder.
const SceneNode* shownPage(const SceneNode& calendar) {
    if (calendar.children.size() < 2) return nullptr;
    const SceneNode& holder = *calendar.children[1];
    for (std::size_t i = holder.children.size(); i-- > 0;)
        if (!holder.children[i]->removing) return holder.children[i]->children.size() < 2 ? nullptr : holder.children[i];
    return nullptr;
}

}  // namespace

std::string describeCalendar(const SceneNode& calendar) {
    const SceneNode* page = shownPage(calendar);
    if (!page) return "calendar=-";
    // The weekday row, the month name, then the cells, each marker just
    // before the number it marks.
    std::string marked = "-";
    int cell = 0, firstCell = -1;
    for (std::size_t i = 2; i < page->children.size(); ++i) {
        const std::string name = modelEntryName(*page->children[i]);
        if (name == "sel") {
            if (i + 1 < page->children.size()) marked = modelEntryName(*page->children[i + 1]);
            continue;
        }
        if (name == "1") firstCell = cell;
        ++cell;
    }
    return "calendar=" + modelEntryName(*page->children[1]) + "," + marked + ",first=" + std::to_string(firstCell);
}

std::vector<std::string> calendarPageCells(const SceneNode& calendar) {
    std::vector<std::string> cells;
    const SceneNode* page = shownPage(calendar);
    if (!page) return cells;
    for (std::size_t i = 2; i < page->children.size(); ++i) {
        const std::string name = modelEntryName(*page->children[i]);
        if (name != "sel") cells.push_back(name);
    }
    return cells;
}

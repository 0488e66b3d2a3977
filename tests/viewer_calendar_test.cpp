// The viewer shows the calendar the program shows: February 2100 (a
// century year that is not a leap year) and a leap February, in both
// variants, from the viewer's own output against the program's grid.
#include "content/Calendar.h"
#include "scene/WallClock.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The cells the viewer reports for the page of that date.
std::string viewerCells(const std::string& variant, const std::string& date) {
    const std::string cmd = std::string(QUESSANTA_INSTALL_DIR) + "viewer --calendar " + variant + " --date " + date +
                            " --out /dev/null --describe 2>&1";
    std::FILE* out = popen(cmd.c_str(), "r");
    if (!out) return "";
    std::string text;
    char line[4096];
    while (std::fgets(line, sizeof line, out)) text += line;
    pclose(out);
    const std::size_t at = text.find("cells=");
    return at == std::string::npos ? text : text.substr(at + 6, text.find('\n', at) - at - 6);
}

// The program's grid for the date, named as the page's entries.
std::string programCells(bool russian, int year, int month, int day) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    fixWallClock(&t);
    CalendarDate date;
    std::int32_t cells[calendarCells];
    if (russian)
        fillMondayFirst(date, cells);
    else
        fillSundayFirst(date, cells);
    fixWallClock(nullptr);
    std::string out;
    for (int i = 0; i < calendarCells; ++i) out += (i ? "," : "") + std::string(dayNames[cells[i]]);
    return out;
}

TEST(ViewerCalendar, MatchesTheProgramAcrossCenturyAndLeapFebruaries) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "the viewer needs a display";
    const std::string feb2100 = programCells(false, 2100, 2, 14);
    // Monday the 1st in the second cell, 28 days, nothing after.
    EXPECT_EQ(feb2100.substr(0, 12), "null,1,2,3,4");
    EXPECT_NE(feb2100.find(",28,null"), std::string::npos) << feb2100;
    EXPECT_EQ(feb2100.find(",29"), std::string::npos) << feb2100;
    EXPECT_EQ(viewerCells("en", "2100-02-14"), feb2100);
    EXPECT_EQ(viewerCells("ru", "2100-02-14"), programCells(true, 2100, 2, 14));
    EXPECT_EQ(viewerCells("en", "2024-02-29"), programCells(false, 2024, 2, 29));
}

}  // namespace

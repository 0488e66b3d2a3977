// Every process-wide value of the content layer, defined in one place. The
// design keeps one clock, one calendar and one counter per process, each
// remembering what it showed last so that it renews its pieces only when
// the time moves on.
#include "content/Calendar.h"
#include "content/Clock.h"
#include "content/FrameCounter.h"

// The value each kind of clock digit slot showed last (-1: none yet).
std::int32_t lastHourTens = -1;
std::int32_t lastHourUnits = -1;
std::int32_t lastMinuteTens = -1;
std::int32_t lastMinuteUnits = -1;
std::int32_t lastSecond = -1;
std::int32_t lastAmPm = -1;

// The day of the month and the month of the calendar page shown (-1: none
// yet).
std::int32_t lastCalendarDay = -1;
std::int32_t lastCalendarMonth = -1;

// Frames counted in the frame counter's current window.
std::int32_t frameCount = 0;

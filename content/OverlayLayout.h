// Where the overlays' pieces sit, in the units of their models: shared by
// the overlays, which place the pieces, and the artwork generator, which
// paints the plates and pages to match.
#pragma once

namespace overlayLayout {

// The analogue clock: where the dial's centre sits from the corner.
constexpr double clockAnalogueX = -9.3;
constexpr double clockAnalogueY = 9.0;

// The digital clock: where its origin sits from the corner, the x of each
// place on the plate, and how much further left the 12-hour clock stands
// (its plate is wider, for the am/pm sign).
constexpr double clockDigitalX = -10.0;
constexpr double clockDigitalY = 1.0;
constexpr double clockHourTensX = -6.483;
constexpr double clockHourUnitsX = -2.498;
constexpr double clockSeparatorX = 0.0;
constexpr double clockMinuteTensX = 2.523;
constexpr double clockMinuteUnitsX = 6.466;
constexpr double clockAmPmX = 11.432;
constexpr double clock12hShift = 5.186;
// The four digit places and the separator between them, left to right.
constexpr double clockDigitXs[5] = {clockHourTensX, clockHourUnitsX, clockSeparatorX, clockMinuteTensX,
                                    clockMinuteUnitsX};

// The calendar page: cell i sits at column i mod 7, row i div 7, at
// x = cellPitch * (column - 5) and y = -cellPitch * row; the page, the
// weekday row and the month name are centred on x = pageX.
constexpr double calendarCellPitch = 8.0;
constexpr double calendarPageX = -16.0;
constexpr double calendarPageY = -12.0;
constexpr double calendarWeekdaysY = 8.0;
constexpr double calendarMonthY = 16.0;
constexpr double calendarCellX(int column) { return calendarCellPitch * (column - 5); }
constexpr double calendarCellY(int row) { return -calendarCellPitch * row; }

// The frame counter: the x of the units, tens and hundreds digits beside
// the label.
constexpr double counterUnitsX = 3.3;
constexpr double counterTensX = 1.9;
constexpr double counterHundredsX = 0.5;

// Digit entries in clock.pak and utils.pak alike.
constexpr const char* digitEntryNames[10] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};

}  // namespace overlayLayout

// Where the overlays' pieces sit, in the units of their models: shared by
// the overlays, which place the pieces, and the artwork generator, which
// paints the plates and pages to match.
#pragma once

namespace overlayLayout {

// The digital clock: the x of each place on the plate, and how much further
// left the 12-hour clock stands (its plate is wider, for the am/pm sign).
constexpr double clockHourTensX = -6.483;
constexpr double clockHourUnitsX = -2.498;
constexpr double clockSeparatorX = 0.0;
constexpr double clockMinuteTensX = 2.523;
constexpr double clockMinuteUnitsX = 6.466;
constexpr double clockAmPmX = 11.432;
constexpr double clock12hShift = 5.186;

// The calendar page: cell i sits at column i mod 7, row i div 7, at
// x = cellPitch * (column - 5) and y = -cellPitch * row.
constexpr double calendarCellPitch = 8.0;

// The frame counter: the x of the units, tens and hundreds digits beside
// the label.
constexpr double counterUnitsX = 3.3;
constexpr double counterTensX = 1.9;
constexpr double counterHundredsX = 0.5;

// Digit entries in clock.pak and utils.pak alike.
constexpr const char* digitEntryNames[10] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};

}  // namespace overlayLayout

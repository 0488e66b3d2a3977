// The clock overlay: an analogue dial with three hands, or a digital display
// of model digits in 24-hour or 12-hour form. Everything here runs as motion
// functions inside the overlay's draw traversal and reads the local time
// afresh on every call.
#pragma once

#include "scene/Motion.h"

#include <cstdint>
#include <string>

struct SceneNode;

// The value each kind of digit slot showed last; -1 at start so that every
// slot makes its first digit on its first call. Never reset during a run.
// The 24- and 12-hour kinds of the hour places share their value: a display
// only ever holds one kind of each pair.
extern std::int32_t lastHourTens;
extern std::int32_t lastHourUnits;
extern std::int32_t lastMinuteTens;
extern std::int32_t lastMinuteUnits;
extern std::int32_t lastSecond;
extern std::int32_t lastAmPm;

// Slot kinds (the selector of a clockDigitSlot motion).
enum ClockSlotKind : std::int32_t {
    HourTens24 = 1,
    HourUnits24 = 2,
    MinuteTens = 3,
    MinuteUnits = 4,
    Separator = 5,
    HourTens12 = 6,
    HourUnits12 = 7,
    AmPmSign = 8,
};

// One place of the digital display: where it sits on the plate and which
// kind it is in each form (0: the form has no such place).
struct ClockSlot {
    double x;
    std::int32_t kind24;
    std::int32_t kind12;
};
// In building order: the am/pm place first (12-hour form only).
extern const ClockSlot clockSlots[6];

// One-shot builder on the clock node: dial, then second, minute and hour hands.
void buildAnalogueClock(MotionArgument);
// One-shot builder on the clock node: plate and digit slots; the motion's
// selector is 1 for the 24-hour form, 0 for the 12-hour form.
void buildDigitalClock(MotionArgument);
// Per frame on a slot node (selector = slot kind): when the watched time
// field has moved on, appends a fresh digit node showing the new value.
void clockDigitSlot(MotionArgument);
// Which time field a digit shows, and so when it expires: the motion's
// selector of digitExpiry.
enum DigitExpiry : std::int32_t {
    ExpiresWithHour = 1,        // the hour's tens
    ExpiresWithHourUnits = 2,   // the hour's units
    ExpiresWithMinute = 3,      // the minute's tens
    ExpiresWithMinuteUnits = 4, // the minute's units
    ExpiresWithSecond = 5,      // the blinking separator
};
// Per frame on a digit node (selector = a DigitExpiry, selector2 = the value
// shown): asks for the node's removal once that time field differs.
void digitExpiry(MotionArgument);

// What a clock built by these builders shows, as the last frame drew it:
// "clock=" and the places in building order ("_" for a blank place, "-"
// for one without a digit yet), or "clock=hands:" and the seconds, minutes
// and hours hands' angles.
std::string describeClock(const SceneNode& clock, bool analogue);

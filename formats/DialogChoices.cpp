#include "formats/DialogChoices.h"

namespace {

// A flag the file may hold as any non-zero byte: rewritten only when the
// choice differs.
void setFlag(std::uint8_t& flag, bool on) {
    if ((flag != 0) != on) flag = on ? 1 : 0;
}

}  // namespace

DialogChoices choicesFrom(const Settings& settings) {
    DialogChoices c;
    c.frameCounter = settings.showFps != 0;
    if (!settings.showClock)
        c.clock = DialogChoices::Clock::Off;
    else if (settings.analogClock)
        c.clock = DialogChoices::Clock::Analog;
    else
        c.clock = settings.clock24h ? DialogChoices::Clock::Digital24h : DialogChoices::Clock::Digital12h;
    c.largeClock = settings.largeClock != 0;
    if (!settings.showCalendar)
        c.calendar = DialogChoices::Calendar::Off;
    else
        c.calendar = settings.russianCalendar ? DialogChoices::Calendar::Russian : DialogChoices::Calendar::English;
    c.exitOnMouseMove = settings.exitOnMouseMove != 0;
    const bool inTable = settings.resolutionIndex >= 0 && settings.resolutionIndex < Settings::resolutionCount;
    c.resolution = inTable ? settings.resolutionIndex : 0;
    return c;
}

void applyChoices(const DialogChoices& choices, Settings& settings) {
    setFlag(settings.showFps, choices.frameCounter);
    switch (choices.clock) {
        case DialogChoices::Clock::Off:
            setFlag(settings.showClock, false);
            break;
        case DialogChoices::Clock::Digital12h:
        case DialogChoices::Clock::Digital24h:
            setFlag(settings.showClock, true);
            setFlag(settings.analogClock, false);
            setFlag(settings.clock24h, choices.clock == DialogChoices::Clock::Digital24h);
            break;
        case DialogChoices::Clock::Analog:
            // The 12/24-hour choice has no effect on the dial and is kept.
            setFlag(settings.showClock, true);
            setFlag(settings.analogClock, true);
            break;
    }
    setFlag(settings.largeClock, choices.largeClock);
    if (choices.calendar == DialogChoices::Calendar::Off) {
        setFlag(settings.showCalendar, false);
    } else {
        setFlag(settings.showCalendar, true);
        setFlag(settings.russianCalendar, choices.calendar == DialogChoices::Calendar::Russian);
    }
    setFlag(settings.exitOnMouseMove, choices.exitOnMouseMove);
    // An unknown row already means the desktop's mode: left as it is unless
    // another size is chosen. A row outside the table is the desktop's too.
    const bool inTable = choices.resolution >= 0 && choices.resolution < Settings::resolutionCount;
    const std::int32_t row = inTable ? choices.resolution : 0;
    if (row != choicesFrom(settings).resolution) settings.resolutionIndex = row;
}

// The settings as a settings dialog offers them: one choice per control,
// with no window system in sight, so that the mapping both ways is the same
// on every system and can be tested anywhere (tools/config shows it on
// Windows).
#pragma once

#include "formats/Settings.h"

#include <cstdint>

struct DialogChoices {
    enum class Clock { Off, Digital12h, Digital24h, Analog };
    enum class Calendar { Off, English, Russian };

    bool frameCounter = false;
    Clock clock = Clock::Digital12h;
    bool largeClock = true;
    Calendar calendar = Calendar::English;
    bool exitOnMouseMove = false;
    // The row of Settings::resolutions: 0 the desktop's mode, 1 to 9 the
    // table's sizes.
    std::int32_t resolution = 0;
};

// The environment variable in which "/c:HWND" hands the settings program,
// started without arguments, the window its dialog belongs to.
constexpr const char* dialogOwnerVariable = "QUESSANTA_SETTINGS_OWNER";

// What the controls show for the settings. A resolution row outside the
// table shows as the desktop's mode, which is what the screensaver uses.
DialogChoices choicesFrom(const Settings& settings);

// Writes the choices into the settings, as the command line's options would
// (turning the clock or calendar off keeps its style or language for later).
// A field the choices leave as choicesFrom shows it keeps its bytes, so
// applying unchanged choices changes nothing.
void applyChoices(const DialogChoices& choices, Settings& settings);

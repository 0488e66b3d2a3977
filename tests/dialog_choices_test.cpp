// The settings dialog's controls against the settings record: every choice
// survives the way there and back, a dialog closed with OK but nothing
// changed leaves the file's bytes alone, and each choice means what the
// command-line option of the same name means.
#include "formats/DialogChoices.h"
#include "formats/Options.h"
#include "formats/Settings.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

using Bytes = std::array<unsigned char, Settings::fileSize>;

Bytes bytesOf(const Settings& s) {
    Bytes b;
    s.serialise(b.data());
    return b;
}

const DialogChoices::Clock clocks[] = {DialogChoices::Clock::Off, DialogChoices::Clock::Digital12h,
                                       DialogChoices::Clock::Digital24h, DialogChoices::Clock::Analog};
const DialogChoices::Calendar calendars[] = {DialogChoices::Calendar::Off, DialogChoices::Calendar::English,
                                             DialogChoices::Calendar::Russian};

// Settings files as they may be found: defaults, everything on, a file
// another writer made with odd flag bytes, a row outside the table, and
// clock and calendar off with their style and language kept.
std::vector<Settings> foundFiles() {
    std::vector<Settings> files(5);
    Settings& on = files[1];
    on.showFps = on.analogClock = on.clock24h = on.russianCalendar = on.exitOnMouseMove = 1;
    on.resolutionIndex = 9;
    Settings& odd = files[2];
    odd.showFps = 7;
    odd.showClock = 200;
    odd.clock24h = 2;
    odd.largeClock = 9;
    odd.reservedValue = -5;
    files[3].resolutionIndex = 42;
    files[3].reservedValue = 123456;
    Settings& kept = files[4];
    kept.showClock = 0;
    kept.analogClock = 1;
    kept.showCalendar = 0;
    kept.russianCalendar = 1;
    kept.resolutionIndex = -1;
    return files;
}

TEST(DialogChoices, EveryChoiceComesBackAsChosen) {
    for (const Settings& found : foundFiles())
        for (auto clock : clocks)
            for (auto calendar : calendars)
                for (int flags = 0; flags < 8; ++flags)
                    for (int row = 0; row < Settings::resolutionCount; ++row) {
                        DialogChoices chosen;
                        chosen.clock = clock;
                        chosen.calendar = calendar;
                        chosen.frameCounter = flags & 1;
                        chosen.largeClock = flags & 2;
                        chosen.exitOnMouseMove = flags & 4;
                        chosen.resolution = row;
                        Settings s = found;
                        applyChoices(chosen, s);
                        // Through the file's bytes, as the screensaver reads them.
                        const Bytes bytes = bytesOf(s);
                        Settings read;
                        ASSERT_TRUE(read.parse(bytes.data(), bytes.size()));
                        const DialogChoices back = choicesFrom(read);
                        EXPECT_EQ(back.clock, clock);
                        EXPECT_EQ(back.calendar, calendar);
                        EXPECT_EQ(back.frameCounter, chosen.frameCounter);
                        EXPECT_EQ(back.largeClock, chosen.largeClock);
                        EXPECT_EQ(back.exitOnMouseMove, chosen.exitOnMouseMove);
                        EXPECT_EQ(back.resolution, row);
                        EXPECT_EQ(read.screenWidth(), Settings::resolutions[row].width);
                        EXPECT_EQ(read.reservedValue, found.reservedValue) << "a field no control shows changed";
                    }
}

TEST(DialogChoices, UnchangedChoicesKeepTheFileAsItWas) {
    for (const Settings& found : foundFiles()) {
        Settings s = found;
        applyChoices(choicesFrom(found), s);
        EXPECT_EQ(bytesOf(s), bytesOf(found));
    }
    // What the controls show for the files above.
    const std::vector<Settings> files = foundFiles();
    EXPECT_EQ(choicesFrom(files[0]).clock, DialogChoices::Clock::Digital12h);
    EXPECT_EQ(choicesFrom(files[0]).calendar, DialogChoices::Calendar::English);
    EXPECT_EQ(choicesFrom(files[1]).clock, DialogChoices::Clock::Analog);
    EXPECT_EQ(choicesFrom(files[1]).calendar, DialogChoices::Calendar::Russian);
    EXPECT_EQ(choicesFrom(files[1]).resolution, 9);
    EXPECT_EQ(choicesFrom(files[2]).clock, DialogChoices::Clock::Digital24h);
    EXPECT_TRUE(choicesFrom(files[2]).frameCounter);
    EXPECT_EQ(choicesFrom(files[3]).resolution, 0);
    EXPECT_EQ(choicesFrom(files[4]).clock, DialogChoices::Clock::Off);
    EXPECT_EQ(choicesFrom(files[4]).calendar, DialogChoices::Calendar::Off);
    EXPECT_EQ(choicesFrom(files[4]).resolution, 0);
    // Changing one control changes that field only: off keeps the style.
    Settings kept = files[4];
    DialogChoices c = choicesFrom(kept);
    c.clock = DialogChoices::Clock::Analog;
    applyChoices(c, kept);
    EXPECT_EQ(kept.showClock, 1);
    EXPECT_EQ(kept.analogClock, 1);
    EXPECT_EQ(kept.showCalendar, 0);
    EXPECT_EQ(kept.resolutionIndex, -1);
}

// The dialog and `config --option=value` write the same file.
TEST(DialogChoices, EachChoiceMeansWhatItsOptionMeans) {
    struct Case {
        std::string option;
        void (*choose)(DialogChoices&);
    };
    const Case cases[] = {
        {"--fps=on", [](DialogChoices& c) { c.frameCounter = true; }},
        {"--fps=off", [](DialogChoices& c) { c.frameCounter = false; }},
        {"--clock=off", [](DialogChoices& c) { c.clock = DialogChoices::Clock::Off; }},
        {"--clock=12h", [](DialogChoices& c) { c.clock = DialogChoices::Clock::Digital12h; }},
        {"--clock=24h", [](DialogChoices& c) { c.clock = DialogChoices::Clock::Digital24h; }},
        {"--clock=analog", [](DialogChoices& c) { c.clock = DialogChoices::Clock::Analog; }},
        {"--clock-size=large", [](DialogChoices& c) { c.largeClock = true; }},
        {"--clock-size=small", [](DialogChoices& c) { c.largeClock = false; }},
        {"--calendar=off", [](DialogChoices& c) { c.calendar = DialogChoices::Calendar::Off; }},
        {"--calendar=english", [](DialogChoices& c) { c.calendar = DialogChoices::Calendar::English; }},
        {"--calendar=russian", [](DialogChoices& c) { c.calendar = DialogChoices::Calendar::Russian; }},
        {"--exit-on-mouse=on", [](DialogChoices& c) { c.exitOnMouseMove = true; }},
        {"--exit-on-mouse=off", [](DialogChoices& c) { c.exitOnMouseMove = false; }},
        {"--resolution=desktop", [](DialogChoices& c) { c.resolution = 0; }},
        {"--resolution=640x480", [](DialogChoices& c) { c.resolution = 1; }},
        {"--resolution=1280x800", [](DialogChoices& c) { c.resolution = 5; }},
        {"--resolution=1600x1200", [](DialogChoices& c) { c.resolution = 9; }},
    };
    // Files with plain 0/1 flags and a row of the table, as config writes
    // them (an unknown row the dialog leaves alone, the option replaces).
    std::vector<Settings> files = foundFiles();
    files.erase(files.begin() + 2, files.begin() + 4);
    files.back().resolutionIndex = 3;
    for (const Case& c : cases)
        for (const Settings& found : files) {
            const Result<ParsedOptions> parsed = parseOptions({c.option}, OptionUser::SettingsProgram);
            ASSERT_TRUE(parsed) << parsed.message();
            const ParsedOptions& options = *parsed;
            Settings byOption = found;
            options.applyTo(byOption);
            Settings byDialog = found;
            DialogChoices choices = choicesFrom(found);
            c.choose(choices);
            applyChoices(choices, byDialog);
            EXPECT_EQ(bytesOf(byDialog), bytesOf(byOption)) << c.option;
        }
}

}  // namespace

// The options the settings program and the screensaver share: the host
// options never collide with the Windows-style switches, bad options are
// refused in one line, and overrides change only the fields they name.
#include "app/MainLoop.h"
#include "app/RunModes.h"
#include "formats/Options.h"
#include "formats/Settings.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

ParsedOptions parsed(const Args& args, OptionUser user = OptionUser::Screensaver) {
    Result<ParsedOptions> out = parseOptions(args, user);
    EXPECT_TRUE(out) << out.message();
    return out ? std::move(*out) : ParsedOptions();
}

std::string refusal(const Args& args, OptionUser user = OptionUser::Screensaver) {
    const Result<ParsedOptions> out = parseOptions(args, user);
    EXPECT_FALSE(out);
    return out ? std::string() : out.message();
}

TEST(Options, HostOptionsNeverSelectARunModeSwitch) {
    for (const char* line : {"--root", "-root", "-window-id 0x1a", "--window-id=12", "--fps", "--max-fps=30",
                             "--clock=24h --root", "-clock 24h", "-calendar=off", "-clock-size small", "-h", "-V"})
        EXPECT_EQ(decideRunMode(line, nullptr), RunMode::Screensaver) << line;
    // The switches keep their meaning.
    EXPECT_EQ(decideRunMode("-s", nullptr), RunMode::LaunchScreensaver);
    EXPECT_EQ(decideRunMode("/C:1234", nullptr), RunMode::LaunchSettings);
    EXPECT_EQ(decideRunMode("/p 42", nullptr), RunMode::Preview);
}

TEST(Options, ScreensaverTakesHostOptionsAndScreenSettings) {
    ParsedOptions o = parsed({"--root", "--fps", "--clock", "analog", "--max-fps=30"});
    EXPECT_TRUE(o.root);
    EXPECT_FALSE(o.windowIdGiven);
    EXPECT_TRUE(o.maxFpsGiven);
    EXPECT_EQ(o.maxFps, 30);
    Settings s;
    s.showFps = 0;
    o.applyTo(s);
    EXPECT_EQ(s.showFps, 1);
    EXPECT_EQ(s.analogClock, 1);

    EXPECT_EQ(parsed({"-window-id", "0x1A"}).windowId, 26u);
    // XScreenSaver's one-dash spellings, of every option.
    ParsedOptions dashed = parsed({"-root", "-max-fps", "30", "-fps", "-clock=analog", "-calendar", "russian"});
    EXPECT_TRUE(dashed.root);
    EXPECT_EQ(dashed.maxFps, 30);
    Settings d;
    dashed.applyTo(d);
    EXPECT_EQ(d.showFps, 1);
    EXPECT_EQ(d.analogClock, 1);
    EXPECT_EQ(d.russianCalendar, 1);
    EXPECT_TRUE(parsed({"-help"}).help);
    EXPECT_TRUE(parsed({"-version"}).version);
    EXPECT_EQ(parsed({"--window-id=4294967295"}).windowId, 0xFFFFFFFFu);
    // "--fps off" takes its value; "--fps" before another option is on.
    Settings off;
    off.showFps = 1;
    parsed({"--fps", "off"}).applyTo(off);
    EXPECT_EQ(off.showFps, 0);
    parsed({"--fps", "--clock=24h"}).applyTo(off);
    EXPECT_EQ(off.showFps, 1);
    EXPECT_EQ(parsed({"--max-fps", "0"}).maxFps, 0);
}

TEST(Options, RefusalsAreOneLineAndNameTheProblem) {
    EXPECT_EQ(refusal({"--bogus"}), "unknown option '--bogus'");
    EXPECT_EQ(refusal({"--clock=25h"}), "bad value '25h' for --clock");
    EXPECT_EQ(refusal({"-clock", "25h"}), "bad value '25h' for --clock");
    EXPECT_NE(refusal({"--window-id=0"}).find("not a window id"), std::string::npos);
    EXPECT_NE(refusal({"--window-id", "12ab"}).find("not a window id"), std::string::npos);
    EXPECT_NE(refusal({"--max-fps=-1"}).find("--max-fps"), std::string::npos);
    EXPECT_EQ(refusal({"--root=yes"}), "--root takes no value");
    EXPECT_EQ(refusal({"--window-id"}), "--window-id needs a value");
    // Settings that only config changes, and the other way round.
    EXPECT_EQ(refusal({"--resolution=640x480"}), "unknown option '--resolution'");
    EXPECT_EQ(refusal({"--root"}, OptionUser::SettingsProgram), "unknown option '--root'");
    EXPECT_EQ(refusal({"--fps"}, OptionUser::SettingsProgram), "--fps needs a value");
    // The one-dash spellings are the screensaver's.
    EXPECT_EQ(refusal({"-fps=on"}, OptionUser::SettingsProgram), "unexpected argument '-fps=on'");
    EXPECT_EQ(refusal({"--resolution=641x480"}, OptionUser::SettingsProgram),
              "'641x480' is not a resolution: use desktop or one of 640x480, 800x600, 1024x768, 1152x864, "
              "1280x800, 1280x960, 1280x1024, 1400x1050, 1600x1200");
    for (const std::string& e : {refusal({"--bogus"}), refusal({"x"}), refusal({"--max-fps=x"})})
        EXPECT_EQ(e.find('\n'), std::string::npos) << e;
}

TEST(Options, OverridesChangeOnlyTheFieldsTheyName) {
    // Every field set to a value no option writes.
    const unsigned char file[Settings::fileSize] = {1, 0, 0, 0, 5, 0x44, 0x33, 0x22, 0x11, 2, 0, 0, 0, 0, 7, 0, 9, 3, 6, 0};
    Settings s;
    ASSERT_TRUE(s.parse(file, sizeof file));
    parsed({"--fps", "--calendar=russian", "--max-fps=20"}).applyTo(s);
    unsigned char out[Settings::fileSize];
    s.serialise(out);
    unsigned char expected[Settings::fileSize];
    std::memcpy(expected, file, sizeof file);
    expected[13] = 1;  // fps
    expected[18] = 1;  // calendar shown
    expected[19] = 1;  // russian
    EXPECT_EQ(std::memcmp(out, expected, sizeof out), 0);
}

// The help and the man pages come from the option table: every option a
// program takes is in them, none it refuses, and the frame cap they state
// is the one the program picks for each renderer.
TEST(Options, HelpAndManPagesDocumentWhatTheProgramsDo) {
    const std::string help = screensaverUsage();
    const auto manPage = [](const char* name) {
        const std::vector<unsigned char> bytes = testsupport::readFile(std::string(QUESSANTA_BINARY_DIR) + "man/" + name);
        return std::string(bytes.begin(), bytes.end());
    };
    const std::string saverPage = manPage("quessanta.6"), configPage = manPage("quessanta-config.6");
    const auto roff = [](std::string text) {
        for (std::string::size_type at = 0; (at = text.find('-', at)) != std::string::npos; at += 2)
            text.insert(at, "\\");
        return text;
    };
    for (const OptionRow& row : optionTable()) {
        const bool saver = takenBy(row, OptionUser::Screensaver), config = takenBy(row, OptionUser::SettingsProgram);
        const std::string spelling = optionSpelling(row, OptionUser::Screensaver);
        EXPECT_EQ(help.find("  " + spelling + " ") != std::string::npos, saver) << spelling;
        EXPECT_EQ(saverPage.find(".B " + roff(spelling) + "\n") != std::string::npos, saver) << spelling;
        const std::string configSpelling = optionSpelling(row, OptionUser::SettingsProgram);
        EXPECT_EQ(configPage.find(".B " + roff(configSpelling) + "\n") != std::string::npos, config) << configSpelling;
    }
    std::string joined = std::regex_replace(help, std::regex("\\s+"), " ");
    std::smatch cap;
    ASSERT_TRUE(std::regex_search(joined, cap,
                                  std::regex("--max-fps N .*default: no cap full screen; in a host's window ([0-9]+) "
                                             "on a software renderer such as Mesa's llvmpipe, else ([0-9]+)\\)")))
        << help;
    EXPECT_EQ(std::stoi(cap[1]), defaultMaxFps(true, "llvmpipe (LLVM 19.1.7, 256 bits)"));
    EXPECT_EQ(std::stoi(cap[2]), defaultMaxFps(true, "AMD Radeon RX 580 Series (polaris10, LLVM 19.1.7)"));
    EXPECT_EQ(defaultMaxFps(false, "llvmpipe (LLVM 19.1.7, 256 bits)"), 0);
}

}  // namespace

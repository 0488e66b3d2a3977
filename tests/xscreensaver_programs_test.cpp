// XScreenSaver's list of programs: adding and removing an entry keeps every
// other byte of the user's file, reads the list as XScreenSaver does (joined
// lines, "\n" separators, disabled entries), and leaves alone what it
// cannot change safely.
#include "formats/XScreenSaverPrograms.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Outcome = ProgramsEdit::Outcome;

// As XScreenSaver's settings program writes the file: every entry line ends
// in "\n\", a blank line ends the list, other settings around it.
const std::string userFile =
    "# XScreenSaver Preferences File\n"
    "timeout:\t0:07:00\n"
    "programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
    "- GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\\\n"
    "  \"My clock\"  xclock -update 1 \\\n"
    "     -bg black\t\t\t\t    \\n\\\n"
    "\n"
    "pointerHysteresis:\t10\n";

// As the app-defaults spell it: "*programs:", no backslash after the last.
const std::string systemFile =
    "! comment\n"
    "*mode:\t\trandom\n"
    "*programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
    "-\t\t\t\trocks --root\t\t\t\t    \\n\n"
    "\n"
    "*hacks.rocks.name: Rocks\n";

std::vector<std::string> commands(const std::string& text, bool systemFile = false) {
    const Result<std::vector<std::string>> out = listPrograms(text, systemFile);
    EXPECT_TRUE(out.ok()) << (out ? "" : out.message());
    return out ? *out : std::vector<std::string>();
}

std::string added(const std::string& user, const std::string& system = systemFile) {
    const ProgramsEdit edit = addProgram(user, system, "GL", "quessanta --root");
    EXPECT_EQ(edit.outcome, Outcome::Changed) << edit.reason;
    return edit.text;
}

std::string removed(const std::string& user) {
    const ProgramsEdit edit = removeProgram(user, "quessanta");
    EXPECT_EQ(edit.outcome, Outcome::Changed) << edit.reason;
    return edit.text;
}

TEST(XScreenSaverPrograms, ReadsTheListAsXScreenSaverDoes) {
    EXPECT_EQ(commands(userFile),
              (std::vector<std::string>{"maze --root", "superquadrics --root", "xclock -update 1      -bg black"}));
    EXPECT_EQ(commands(systemFile, true), (std::vector<std::string>{"maze --root", "rocks --root"}));
    EXPECT_EQ(programOfCommand(" /usr/libexec/xscreensaver/Quessanta -root"), "quessanta");
}

TEST(XScreenSaverPrograms, AddsOneLineAndRemovesItAgain) {
    const std::string once = added(userFile);
    // Only the new line, before the blank one that ends the list.
    const std::string line = "  GL: \t\t\t\tquessanta --root\t\t\t    \\n\\\n";
    const std::string::size_type at = userFile.find("\n\npointer") + 1;
    EXPECT_EQ(once, userFile.substr(0, at) + line + userFile.substr(at));
    EXPECT_EQ(addProgram(once, systemFile, "GL", "quessanta --root").outcome, Outcome::Unchanged);
    EXPECT_EQ(removed(once), userFile);
    EXPECT_EQ(removeProgram(userFile, "quessanta").outcome, Outcome::Unchanged);
}

TEST(XScreenSaverPrograms, AFileWithoutAListGetsTheSystemsList) {
    // The system's list as its app-defaults spell it, after the file's own
    // lines; removing the entry again leaves just that.
    const std::string value = systemFile.substr(systemFile.find("*programs:") + 10,
                                                systemFile.find("\n\n*hacks") - systemFile.find("*programs:") - 10);
    for (const std::string& user : {std::string(), std::string("lock: False")}) {
        const std::string text = added(user);
        EXPECT_EQ(commands(text), (std::vector<std::string>{"maze --root", "rocks --root", "quessanta --root"}));
        EXPECT_EQ(removed(text), user + (user.empty() ? "" : "\n\n") + "programs:" + value + "\n");
    }
}

TEST(XScreenSaverPrograms, OtherLayoutsKeepTheirEntries) {
    // On the key's own line, without a final separator, empty: the list
    // reads right afterwards, and removal restores it.
    for (const std::string& user :
         {std::string("programs: maze --root \\n\\\n  xclock \\n\nlock: True\n"),
          std::string("programs: maze --root\nlock: True"), std::string("programs:\n"),
          std::string("Programs:  GL: quessanta -root  \\n\\\n  maze --root \\n\n")}) {
        std::vector<std::string> before = commands(user);
        const ProgramsEdit add = addProgram(user, systemFile, "GL", "quessanta --root");
        if (add.outcome == Outcome::Unchanged) {
            EXPECT_EQ(commands(removed(user)), (std::vector<std::string>{"maze --root"})) << user;
            continue;
        }
        ASSERT_EQ(add.outcome, Outcome::Changed) << user << add.reason;
        before.push_back("quessanta --root");
        EXPECT_EQ(commands(add.text), before) << add.text;
        before.pop_back();
        EXPECT_EQ(commands(removed(add.text)), before) << add.text;
    }
    // A disabled entry or one by its path is there already.
    for (const char* entry : {"- GL: quessanta --root", "/usr/libexec/xscreensaver/quessanta -root -fps"})
        EXPECT_EQ(addProgram(std::string("programs: ") + entry + " \\n\n", systemFile, "GL", "quessanta --root").outcome,
                  Outcome::Unchanged)
            << entry;
}

TEST(XScreenSaverPrograms, RefusesWhatItCannotRead) {
    for (const std::string& user : {std::string("programs: maze\\n\n") + '\0', std::string("programs: a\nprograms: b\n")})
        EXPECT_EQ(addProgram(user, systemFile, "GL", "quessanta --root").outcome, Outcome::Refused);
    EXPECT_EQ(addProgram("", "*mode: random\n", "GL", "quessanta --root").outcome, Outcome::Refused);
    EXPECT_FALSE(listPrograms("programs: a\n", true).ok()) << "the user's spelling in app-defaults";
}

}  // namespace

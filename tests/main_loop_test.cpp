// The screensaver's main loop end to end: what ends it and what does not.
// Runs the built program on the test display with packs of empty models;
// the mouse rule on its own too.
#include "app/MouseExitRule.h"
#include "render/FrameTicks.h"
#include "support/Install.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
// After GoogleTest: Xlib's macros clash with its names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <unistd.h>

using testsupport::startScreensaver;
using testsupport::waitForExit;

namespace {

class MainLoopTest : public ::testing::Test {
protected:
    static testsupport::PrivateXvfb xvfb;
    static void SetUpTestSuite() { xvfb.start(); }
    static void TearDownTestSuite() { xvfb.stop(); }

    void SetUp() override {
        ASSERT_FALSE(xvfb.name().empty()) << "cannot start a private Xvfb";
        dir = testsupport::makeTempDir() + "/";
        testsupport::writeEmptyModelPacks(dir);
    }
    void TearDown() override {
        if (pid > 0 && waitForExit(pid, 0) == -1) {
            kill(pid, SIGKILL);
            waitForExit(pid, 5);
        }
        testsupport::removeTree(dir.substr(0, dir.size() - 1));
    }
    void writeSettings(bool exitOnMouse) {
        std::vector<unsigned char> bytes(20, 0);
        bytes[0] = 1;
        bytes[4] = exitOnMouse ? 1 : 0;
        bytes[14] = 1;  // clock
        bytes[17] = 1;
        bytes[18] = 1;  // calendar
        testsupport::writeFile(dir + "Zandrim_Quessanta_cfg", bytes);
    }
    std::string stderrText() const {
        const std::vector<unsigned char> err = testsupport::readFile(dir + "stderr.txt");
        return std::string(err.begin(), err.end());
    }
    void start() { pid = startScreensaver(dir, dir, dir + "stderr.txt"); }
    static void run(const std::string& cmd) { ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd; }
    static void sleepSeconds(double s) { usleep(static_cast<useconds_t>(s * 1e6)); }

    // The window system's polite close request, to every window that takes one.
    static void sendCloseRequests() {
        ::Display* x = XOpenDisplay(nullptr);
        ASSERT_NE(x, nullptr);
        Atom protocols = XInternAtom(x, "WM_PROTOCOLS", False);
        Atom del = XInternAtom(x, "WM_DELETE_WINDOW", False);
        Window root, parent, *children = nullptr;
        unsigned int n = 0;
        XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &n);
        int sent = 0;
        for (unsigned int i = 0; i < n; ++i) {
            Atom* list = nullptr;
            int count = 0;
            if (XGetWMProtocols(x, children[i], &list, &count)) {
                for (int k = 0; k < count; ++k) {
                    if (list[k] != del) continue;
                    XEvent e = {};
                    e.xclient.type = ClientMessage;
                    e.xclient.window = children[i];
                    e.xclient.message_type = protocols;
                    e.xclient.format = 32;
                    e.xclient.data.l[0] = static_cast<long>(del);
                    e.xclient.data.l[1] = CurrentTime;
                    XSendEvent(x, children[i], False, NoEventMask, &e);
                    ++sent;
                }
                XFree(list);
            }
        }
        if (children) XFree(children);
        XSync(x, False);
        XCloseDisplay(x);
        EXPECT_GT(sent, 0);
    }

    std::string dir;
    int pid = -1;
};

testsupport::PrivateXvfb MainLoopTest::xvfb;

TEST_F(MainLoopTest, KeysAndClicksDoNotEndItACloseRequestDoesCleanly) {
    writeSettings(false);
    start();
    sleepSeconds(2.0);
    ASSERT_EQ(waitForExit(pid, 0), -1) << "ended by itself: " << stderrText();
    run("xdotool key a space Return");
    run("xdotool click 1");
    EXPECT_EQ(waitForExit(pid, 1.5), -1) << "a key or a click ended it";
    // As at log-off: refusing would hold the session up.
    sendCloseRequests();
    EXPECT_EQ(waitForExit(pid, 30), 0);
    EXPECT_EQ(stderrText(), "");
}

// Where nothing turns it into a close request (Windows under SDL 1.2, an X
// server without a window manager), Alt+F4 is a key that ends it as Esc
// does; F4 or Alt alone does not.
TEST_F(MainLoopTest, AltF4EndsItAsEscDoes) {
    writeSettings(false);
    start();
    sleepSeconds(2.0);
    ASSERT_EQ(waitForExit(pid, 0), -1) << "ended by itself: " << stderrText();
    run("xdotool key F4 alt");
    EXPECT_EQ(waitForExit(pid, 1.5), -1) << "F4 or Alt alone ended it";
    run("xdotool key alt+F4");
    EXPECT_EQ(waitForExit(pid, 30), 0);
    EXPECT_EQ(stderrText(), "");
}

TEST_F(MainLoopTest, TerminationSignalsEndItWithExitZero) {
    for (int sig : {SIGTERM, SIGINT}) {
        writeSettings(false);
        start();
        sleepSeconds(1.5);
        ASSERT_EQ(waitForExit(pid, 0), -1);
        kill(pid, sig);
        EXPECT_EQ(waitForExit(pid, 30), 0) << "signal " << sig;
    }
}

TEST(MouseExitRule, GraceFromTheFirstFrameThenOnlyRealMovement) {
    MouseExitRule rule(true);
    // Start-up took 10 s: nothing counts before the first frame, nor in the
    // 3 s after it, the window's own motion events included.
    EXPECT_FALSE(rule.ends(300, 200, 10000));
    rule.frameShown(10000);
    rule.frameShown(10500);  // later frames do not move the grace
    EXPECT_FALSE(rule.ends(40, 0, 12000));
    EXPECT_FALSE(rule.ends(5, 5, 13000));
    // After it: motion that leaves the pointer where it was does not count.
    EXPECT_FALSE(rule.ends(0, 0, 13001));
    EXPECT_FALSE(rule.ends(0, 0, 14000));
    EXPECT_TRUE(rule.ends(3, -2, 14001));

    MouseExitRule off(false);
    off.frameShown(0);
    EXPECT_FALSE(off.ends(50, 50, 9000));
}

// Frame time moves on only by what a frame takes: never back, never by a
// stop or a suspend's length, and at the clock's own pace otherwise.
TEST(FrameClock, StepsAreBoundedAndKeepPace) {
    FrameClock clock;
    EXPECT_EQ(clock.step(5000.0), maxFrameStepMs);  // start-up is no animation time
    double now = 5000.0;
    std::uint64_t total = 0;
    for (int i = 0; i < 600; ++i) total += clock.step(now += 1000.0 / 60);
    EXPECT_NEAR(static_cast<double>(total), 10000.0, 1.0);
    // A pause of 30 s, a clock that goes back, a stall: each one ordinary frame.
    for (const double jump : {30000.0, -3600000.0, 10.0 * maxFrameStepMs}) {
        const std::uint32_t ordinary = clock.step(now += 20);
        EXPECT_EQ(ordinary, 20u);
        EXPECT_EQ(clock.step(now += jump), ordinary) << jump;
    }
    EXPECT_EQ(clock.step(now), 0u);  // no time, no step
}

TEST_F(MainLoopTest, MouseMotionEndsItOnlyAfterTheGraceAndWithTheFlag) {
    // Pointer moves absolute and relative: where SDL reads the mouse in
    // relative mode (sdl12-compat) both must count.
    for (const char* move : {"mousemove 500 400", "mousemove_relative 50 0"}) {
        SCOPED_TRACE(move);
        writeSettings(true);
        start();
        sleepSeconds(1.0);
        run("xdotool mousemove 100 100 sleep 0.2 mousemove 300 300");
        EXPECT_EQ(waitForExit(pid, 1.0), -1) << "early motion ended it";
        sleepSeconds(4.0);  // well past 3 s after the first frame
        ASSERT_EQ(waitForExit(pid, 0), -1) << "ended without real motion: " << stderrText();
        run(std::string("xdotool ") + move);
        EXPECT_EQ(waitForExit(pid, 30), 0);
    }

    writeSettings(false);
    start();
    sleepSeconds(4.5);
    run("xdotool mousemove 600 500 sleep 0.2 mousemove 100 100");
    EXPECT_EQ(waitForExit(pid, 1.5), -1) << "motion ended it although the flag is clear";
    run("xdotool key Escape");
    EXPECT_EQ(waitForExit(pid, 30), 0);
}

TEST_F(MainLoopTest, RemovalTakesOneFrameMoreThanTheDeeperTreeIsDeep) {
    // Normal frames place the light (glLightfv of GL_LIGHT1's position);
    // removing frames animate nothing. The deeper tree is the scene's:
    // root, flower group, orbit, carrier, body, wing: 5 levels below the root.
    writeSettings(false);
    const std::string trace = dir + "run.trace";
    pid = startScreensaver(dir, dir, dir + "stderr.txt", nullptr, trace);
    sleepSeconds(3.0);
    ASSERT_EQ(waitForExit(pid, 0), -1) << stderrText();
    run("xdotool key Escape");
    ASSERT_EQ(waitForExit(pid, 40), 0) << stderrText();
    FILE* dump = popen(("apitrace dump --color=never " + trace + " 2>/dev/null").c_str(), "r");
    ASSERT_NE(dump, nullptr);
    std::vector<bool> frameLit;  // per swapped frame: was the light placed?
    bool lit = false;
    char line[4096];
    while (std::fgets(line, sizeof line, dump)) {
        const std::string s(line);
        if (s.find("glLightfv(light = GL_LIGHT1, pname = GL_POSITION") != std::string::npos) lit = true;
        if (s.find("SwapBuffers") != std::string::npos) {
            frameLit.push_back(lit);
            lit = false;
        }
    }
    pclose(dump);
    ASSERT_GT(frameLit.size(), 10u);
    int trailing = 0;
    for (auto it = frameLit.rbegin(); it != frameLit.rend() && !*it; ++it) ++trailing;
    EXPECT_EQ(trailing, 6);
}

}  // namespace

// The preview ("/p <window>") on real X windows: the program is started as
// the host would start it, and what it painted is read back with XGetImage.
// It runs on an X server of its own, so that no other test's windows can
// cover the pane.
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

// A 24-bit bottom-up Windows bitmap of width x height, pixel (x, y) (y from
// the top) holding the bytes colour(x, y).
template <typename F>
std::vector<unsigned char> makeBitmap(int width, int height, F colour) {
    const int rowBytes = (3 * width + 3) / 4 * 4;
    const int imageSize = rowBytes * height;
    std::vector<unsigned char> b(54 + imageSize, 0);
    auto le32 = [&b](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    le32(2, static_cast<std::uint32_t>(b.size()));
    le32(10, 54);  // pixel data offset
    le32(14, 40);  // BITMAPINFOHEADER
    le32(18, width);
    le32(22, height);
    b[26] = 1;   // planes
    b[28] = 24;  // bits per pixel
    le32(34, static_cast<std::uint32_t>(imageSize));
    for (int fileRow = 0; fileRow < height; ++fileRow) {
        const int y = height - 1 - fileRow;  // bottom-up
        for (int x = 0; x < width; ++x) {
            const std::array<unsigned char, 3> bytes = colour(x, y);
            for (int i = 0; i < 3; ++i) b[54 + fileRow * rowBytes + 3 * x + i] = bytes[i];
        }
        // Padding bytes that would show as a colour if taken for a pixel.
        for (int p = 3 * width; p < rowBytes; ++p) b[54 + fileRow * rowBytes + p] = 0xEE;
    }
    return b;
}

// A 5 x 3 picture whose pixels all differ, so that a row read from a wrong
// offset shows as a wrong colour: the bytes 10 + 40x, 20 + 60y, 30 + x + 10y.
constexpr int bitmapWidth = 5;  // rows of 15 bytes, padded to 16
constexpr int bitmapHeight = 3;

std::array<unsigned char, 3> gradient(int x, int y) {
    return {static_cast<unsigned char>(10 + 40 * x), static_cast<unsigned char>(20 + 60 * y),
            static_cast<unsigned char>(30 + x + 10 * y)};
}

// What the pane must show for (x, y): red is byte 2, green 1, blue 0.
Rgb paintedAt(int x, int y) {
    const auto b = gradient(x, y);
    return {b[2], b[1], b[0]};
}

// A 40 x 30 picture of four plain quarters: where a pane shows which tells
// that the picture fills it, the right way up and round.
std::array<unsigned char, 3> quarters(int x, int y) {
    const bool right = x >= 20, bottom = y >= 15;
    if (!right && !bottom) return {0, 0, 200};        // red
    if (right && !bottom) return {0, 200, 0};         // green
    if (!right) return {200, 0, 0};                   // blue
    return {255, 255, 255};                           // white
}

struct Result {
    bool exited = false;  // false: still running when the time ran out (killed)
    int code = -1;
    std::string err;
};

class Preview : public ::testing::Test {
protected:
    static testsupport::PrivateXvfb xvfb;
    static std::string displayName;
    static ::Display* x;

    static void SetUpTestSuite() {
        if (!xvfb.start("640x480x24")) return;
        displayName = xvfb.name();
        x = XOpenDisplay(displayName.c_str());
    }

    static void TearDownTestSuite() {
        if (x) XCloseDisplay(x);
        x = nullptr;
        xvfb.stop();
    }

    void SetUp() override {
        ASSERT_NE(x, nullptr) << "cannot start a private Xvfb";
        installDir = testsupport::makeTempDir();
        ASSERT_FALSE(installDir.empty());
        testsupport::writeFile(installDir + "/preview.ppk", makeBitmap(bitmapWidth, bitmapHeight, gradient));
    }

    void TearDown() override {
        if (child > 0) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
        if (errFile >= 0) close(errFile);
        testsupport::removeTree(installDir);
    }

    // A host window, white so that any part of it the pane does not cover
    // shows.
    Window makeParent(int width, int height) {
        const int screen = DefaultScreen(x);
        Window w = XCreateSimpleWindow(x, RootWindow(x, screen), 0, 0, width, height, 0, BlackPixel(x, screen),
                                       WhitePixel(x, screen));
        XMapWindow(x, w);
        XSync(x, False);
        return w;
    }

    // Starts "Quessanta /p <argument>" as the host does; stderr goes to a file.
    void start(const std::vector<std::string>& args) {
        if (errFile >= 0) close(errFile);
        char path[] = "/tmp/quessanta-test-previewerr-XXXXXX";
        errFile = mkstemp(path);
        ASSERT_GE(errFile, 0);
        unlink(path);
        child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            dup2(errFile, 2);
            setenv("QUESSANTA_PATH", installDir.c_str(), 1);
            setenv("DISPLAY", displayName.c_str(), 1);
            const std::string program = std::string(QUESSANTA_INSTALL_DIR) + "Quessanta";
            std::vector<char*> argv;
            argv.push_back(const_cast<char*>(program.c_str()));
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
    }

    // Waits for the program to end, killing it after the time-out.
    Result finish(double seconds) {
        Result r;
        const auto end = Clock::now() + std::chrono::duration<double>(seconds);
        int status = 0;
        for (;;) {
            pid_t done = waitpid(child, &status, WNOHANG);
            if (done == child) {
                r.exited = WIFEXITED(status);
                r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
                break;
            }
            if (Clock::now() > end) {
                kill(child, SIGKILL);
                waitpid(child, nullptr, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        child = -1;
        char buf[4096];
        lseek(errFile, 0, SEEK_SET);
        ssize_t n;
        while ((n = read(errFile, buf, sizeof buf)) > 0) r.err.append(buf, static_cast<size_t>(n));
        return r;
    }

    Rgb pixel(Window w, int px, int py) {
        XImage* image = XGetImage(x, w, px, py, 1, 1, AllPlanes, ZPixmap);
        if (!image) return {-1, -1, -1};
        const unsigned long p = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return {static_cast<int>((p >> 16) & 0xff), static_cast<int>((p >> 8) & 0xff), static_cast<int>(p & 0xff)};
    }

    // Polls until the pane shows `want` at (px, py); the last value seen.
    Rgb waitFor(Window w, int px, int py, Rgb want) {
        const auto end = Clock::now() + std::chrono::seconds(10);
        Rgb got = pixel(w, px, py);
        while (!(got == want) && Clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            got = pixel(w, px, py);
        }
        return got;
    }

    std::string installDir;
    pid_t child = -1;
    int errFile = -1;
};

testsupport::PrivateXvfb Preview::xvfb;
std::string Preview::displayName;
::Display* Preview::x = nullptr;

std::string idOf(Window w) { return std::to_string(static_cast<unsigned long>(w)); }

bool isOneLine(const std::string& s) {
    return !s.empty() && s.back() == '\n' && s.find('\n') == s.size() - 1;
}

TEST_F(Preview, PaneOfThePicturesSizeShowsItPixelForPixelThenEndsWithItsWindow) {
    const Window parent = makeParent(bitmapWidth, bitmapHeight);
    start({"/p", idOf(parent)});
    // Bytes 10, 20, 30 paint red 30, green 20, blue 10.
    EXPECT_EQ(waitFor(parent, 0, 0, Rgb{30, 20, 10}), (Rgb{30, 20, 10}));
    // Every pixel, rows included that a tightly packed reading would shift.
    for (int y = 0; y < bitmapHeight; ++y)
        for (int px = 0; px < bitmapWidth; ++px) EXPECT_EQ(pixel(parent, px, y), paintedAt(px, y)) << px << "," << y;

    // Repainted after being covered and uncovered.
    const int screen = DefaultScreen(x);
    Window cover = XCreateSimpleWindow(x, RootWindow(x, screen), 0, 0, 40, 40, 0, 0, WhitePixel(x, screen));
    XMapRaised(x, cover);
    XSync(x, False);
    XDestroyWindow(x, cover);
    XSync(x, False);
    EXPECT_EQ(waitFor(parent, 2, 1, paintedAt(2, 1)), paintedAt(2, 1));

    XDestroyWindow(x, parent);
    XSync(x, False);
    const Result r = finish(10);
    EXPECT_TRUE(r.exited) << "still running after its window was destroyed";
    EXPECT_EQ(r.code, 0) << r.err;
}

TEST_F(Preview, PanesOfAnySizeAreFilledWithThePictureScaled) {
    testsupport::writeFile(installDir + "/preview.ppk", makeBitmap(40, 30, quarters));
    // The Windows settings' pane at 100 % and 200 %, the usual 4:3, and odd
    // shapes both ways.
    for (const auto& size : std::vector<std::pair<int, int>>{{152, 112}, {304, 224}, {320, 240}, {151, 90}, {60, 90}}) {
        const int w = size.first, h = size.second;
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        const Window parent = makeParent(w, h);
        start({"/p", idOf(parent)});
        EXPECT_EQ(waitFor(parent, w / 4, h / 4, Rgb{200, 0, 0}), (Rgb{200, 0, 0}));
        EXPECT_EQ(pixel(parent, 3 * w / 4, h / 4), (Rgb{0, 200, 0}));
        EXPECT_EQ(pixel(parent, w / 4, 3 * h / 4), (Rgb{0, 0, 200}));
        EXPECT_EQ(pixel(parent, 3 * w / 4, 3 * h / 4), (Rgb{255, 255, 255}));
        // To the far corners: neither the white host nor black shows.
        EXPECT_EQ(pixel(parent, 0, 0), (Rgb{200, 0, 0}));
        EXPECT_EQ(pixel(parent, w - 1, h - 1), (Rgb{255, 255, 255}));
        XDestroyWindow(x, parent);
        XSync(x, False);
        const Result r = finish(10);
        EXPECT_TRUE(r.exited);
        EXPECT_EQ(r.code, 0) << r.err;
    }
}

TEST_F(Preview, BadArgumentsFailWithAMessage) {
    // 999999 lies in the server's own id range, below every client's.
    const std::vector<std::vector<std::string>> cases = {
        {"/p"}, {"/p", "abc"}, {"/p", "12abc"}, {"/p", "-5"}, {"/p", "0"}, {"/P", "999999"}, {"/p", "99999999999999999999"}};
    for (const auto& args : cases) {
        std::string shown;
        for (const std::string& a : args) shown += a + " ";
        SCOPED_TRACE(shown);
        start(args);
        const Result r = finish(10);
        EXPECT_TRUE(r.exited) << "hung or crashed";
        EXPECT_NE(r.code, 0);
        EXPECT_TRUE(isOneLine(r.err)) << "stderr: " << r.err;
    }
}

TEST_F(Preview, MissingOrBrokenBitmapFailsWithAMessage) {
    const std::vector<std::vector<unsigned char>> files = {{}, {'B', 'M', 1, 2, 3}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        if (i == 0) std::remove((installDir + "/preview.ppk").c_str());
        else testsupport::writeFile(installDir + "/preview.ppk", files[i - 1]);
        const Window parent = makeParent(152, 112);
        start({"/p", idOf(parent)});
        const Result r = finish(10);
        EXPECT_TRUE(r.exited) << "hung or crashed";
        EXPECT_NE(r.code, 0);
        EXPECT_TRUE(isOneLine(r.err)) << "stderr: " << r.err;
        EXPECT_NE(r.err.find("preview.ppk"), std::string::npos) << r.err;
        XDestroyWindow(x, parent);
        XSync(x, False);
    }
}

}  // namespace

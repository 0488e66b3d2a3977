#include "render/Display.h"

#include "platform/Platform.h"
#include "render/DrawableBound.h"
#include "render/Multisampling.h"
#include "render/NativeWindow.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

SDL_Surface* screenSurface = nullptr;

namespace {

const char* const compatScaling = "SDL12COMPAT_OPENGL_SCALING";

// sdl12-compat (Debian 13's SDL 1.2, on SDL 2) draws an OpenGL program into
// a framebuffer of its own and copies that to the window at every swap, so
// that a mode other than the desktop's is scaled rather than switched to.
// On a software renderer the copy costs more than the rest of an empty
// frame. Full screen at the desktop's own size the picture fills the
// window as it is, so it goes straight there. A host's window keeps the
// copy: its visual is the host's choice, and may have no depth buffer.
// Read when SDL starts; a value the user set stays. Classic SDL ignores it.
// True when the copy was turned off here.
bool chooseCompatScaling(bool embedded, std::int32_t w, std::int32_t h) {
    static const std::string usersChoice = platform::getEnv(compatScaling);
    if (!usersChoice.empty()) return false;
    int desktopW = 0, desktopH = 0;
    const bool desktopSize = (w == 0 && h == 0) ||
                             (platform::windowSize(platform::rootWindow(), &desktopW, &desktopH) &&
                              desktopW == w && desktopH == h);
    const bool straight = !embedded && desktopSize;
    platform::putEnv(compatScaling, straight ? "0" : "1");
    return straight;
}

}  // namespace

Display::Display(std::int32_t w, std::int32_t h, std::int32_t bpp) {
    // The design's own messages, as they are: this constructor is its
    // interface, and no program of ours calls it.
    if (const Result<void> opened = init(w, h, bpp); !opened) {
        std::fprintf(stderr, "%s\n", opened.message().c_str());
        std::exit(1);
    }
}

Result<std::unique_ptr<Display>> Display::open(std::int32_t w, std::int32_t h, std::int32_t bpp) {
    std::unique_ptr<Display> display(new Display);
    // On failure SDL is already shut down; the destructor's SDL_Quit does
    // nothing more.
    if (const Result<void> opened = display->init(w, h, bpp); !opened) return opened.error();
    return display;
}

Result<std::unique_ptr<Display>> Display::openOnMonitor(std::int32_t x, std::int32_t y, std::int32_t w,
                                                        std::int32_t h) {
    // Where SDL puts a window that is not full screen.
    platform::putEnv("SDL_VIDEO_WINDOW_POS", (std::to_string(x) + "," + std::to_string(y)).c_str());
    std::unique_ptr<Display> display(new Display);
    display->onMonitor = true;
    if (const Result<void> opened = display->init(w, h, 32); !opened) return opened.error();
    return display;
}

Result<std::unique_ptr<Display>> Display::openInWindow(std::uint64_t window) {
    int w = 0, h = 0;
    if (!platform::windowSize(window, &w, &h)) {
        char id[32];
        std::snprintf(id, sizeof id, "0x%llx", static_cast<unsigned long long>(window));
        return failure(std::string("there is no window ") + id + " to draw in");
    }
    // A host's window may be larger than the renderer can draw: SDL draws
    // in a window of ours inside it, kept within bounds.
    const DrawableSize size = boundDrawable(w, h, platform::openGlMaxDrawableSide());
    const Result<std::uint64_t> drawing = platform::openDrawingWindow(window, size.width, size.height);
    if (!drawing) return drawing.error();
    // SDL draws into the window these name; sdl12-compat also wants to be
    // told that it may make it an OpenGL window (classic SDL ignores that).
    platform::putEnv("SDL_WINDOWID", std::to_string(*drawing).c_str());
    platform::putEnv("SDL_VIDEO_FOREIGN_WINDOW_OPENGL", "1");
    // The host may destroy its window at any moment, and then we end
    // quietly; Mesa would first complain on stderr that it lost the
    // drawable. LIBGL_DEBUG set by the user still speaks.
    if (platform::getEnv("LIBGL_DEBUG").empty()) platform::putEnv("LIBGL_DEBUG", "quiet");
    std::unique_ptr<Display> display(new Display);
    display->hostWindow = window;
    display->drawingWindow = *drawing;
    if (const Result<void> opened = display->init(size.width, size.height, 32); !opened) {
        platform::closeDrawingWindow();
        return opened.error();
    }
    return display;
}

Result<void> Display::init(std::int32_t w, std::int32_t h, std::int32_t bpp) {
    // sdl12-compat turns a hidden cursor over a full-screen window into
    // SDL 2's relative mouse mode, which by default reads only raw device
    // motion: pointers that report absolute positions (tablets, remote
    // desktops, synthetic input) would never end the saver. Warping reports
    // every motion. Classic SDL 1.2 reads no such variable.
    if (!embedded() && platform::getEnv("SDL_MOUSE_RELATIVE_MODE_WARP").empty())
        platform::putEnv("SDL_MOUSE_RELATIVE_MODE_WARP", "1");
    compatCopyOff = chooseCompatScaling(embedded(), w, h);
    // A host's window was checked when it was watched.
    if (!embedded()) {
        if (const Result<void> depth = platform::prepareScreenDepth(); !depth) return depth;
    }
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        const std::string why = SDL_GetError();
        SDL_Quit();
        return failure("Video initialization failed: " + why);
    }
    // A size the monitor lacks would show as a small picture in a corner
    // or a framed window: the desktop's own instead.
    const bool desktopMode =
        (w == 0 && h == 0 && bpp == 0) || (!embedded() && !onMonitor && !platform::displayOffersMode(w, h));
    if (desktopMode) {
        const SDL_VideoInfo* info = SDL_GetVideoInfo();
        width = info ? info->current_w : 0;
        height = info ? info->current_h : 0;
        bitsPerPixel = (info && info->vfmt) ? info->vfmt->BitsPerPixel : 0;
    } else {
        width = w;
        height = h;
        bitsPerPixel = bpp;
        if (!embedded()) {
            askedWidth = w;
            askedHeight = h;
        }
        if (!embedded() && fallBackToDesktopSize() && chooseCompatScaling(false, width, height) != compatCopyOff) {
            // sdl12-compat took its copy choice from the size asked for,
            // when video started; the desktop's size goes straight.
            compatCopyOff = !compatCopyOff;
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            if (SDL_InitSubSystem(SDL_INIT_VIDEO) < 0) {
                const std::string why = SDL_GetError();
                SDL_Quit();
                return failure("Video initialization failed: " + why);
            }
        }
    }
    if (!embedded()) {
        // A host's window was bounded when the window to draw in was made.
        const DrawableSize size = boundDrawable(width, height, platform::openGlMaxDrawableSide());
        width = size.width;
        height = size.height;
        if (const Result<void> taken = takeScreen(); !taken) {
            SDL_Quit();
            return taken;
        }
    }
    if (const Result<void> opened = setVideoMode(); !opened) {
        SDL_Quit();
        platform::releaseScreen();
        return opened;
    }
    if (!embedded()) {
        SDL_ShowCursor(SDL_DISABLE);
        platform::bringToFront(nativeWindow());
        SdlFullScreenWindows windows;
        if (sdlFullScreenWindows(&windows)) platform::fitToScreen(windows.covering);
    }
    return success();
}

void Display::resize(std::int32_t w, std::int32_t h) {
    width = w;
    height = h;
    setProjection(w, h);
}

bool Display::followWindow(std::int32_t w, std::int32_t h) {
    const DrawableSize size = boundDrawable(w, h, platform::openGlMaxDrawableSide());
    if (size.width == width && size.height == height) return false;
    if (drawingWindow != hostWindow) platform::placeWindow(drawingWindow, 0, 0, size.width, size.height);
    resize(size.width, size.height);
    return true;
}

bool Display::followScreen(std::int32_t w, std::int32_t h) {
    SdlFullScreenWindows windows;
    if (embedded() || !sdlFullScreenWindows(&windows)) return false;
    // Left as it is, the window would show only part of the picture, or
    // a corner of the screen would stay uncovered. (The fitting thread
    // has usually done it already.)
    platform::placeWindow(windows.covering, 0, 0, w, h);
    // sdl12-compat's scaling copy keeps the picture's size and scales it to
    // the window at each swap.
    GLint framebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    if (framebuffer != 0) return false;
    DrawableSize size{w, h};
    if (windows.drawing) {
        const bool asked = askedWidth > 0 && askedHeight > 0 && askedWidth <= w && askedHeight <= h;
        size = boundDrawable(asked ? askedWidth : w, asked ? askedHeight : h, platform::openGlMaxDrawableSide());
        platform::placeWindow(windows.drawing, (w - size.width) / 2, (h - size.height) / 2, size.width,
                              size.height);
    }
    if (size.width == width && size.height == height) return false;
    resize(size.width, size.height);
    return true;
}

Display::~Display() {
    platform::stopFittingToScreen();
    SDL_Quit();
    platform::closeDrawingWindow();
    // After SDL let go of the pointer and keyboard: a copy waiting for the
    // screen finds them free.
    platform::releaseScreen();
}

bool Display::fallBackToDesktopSize() {
    // Settings made on another monitor may name a mode this screen lacks.
    // A mode SDL lists at least as large shows it whole (centred or scaled,
    // as the SDL implementation does it); without one the mode would fail
    // or be cut off: the desktop's own size serves instead (the caller
    // says so, seeing the size differ).
    SDL_Rect** modes = SDL_ListModes(nullptr, SDL_OPENGL | SDL_FULLSCREEN);
    if (!modes || modes == reinterpret_cast<SDL_Rect**>(-1)) return false;
    for (int i = 0; modes[i]; ++i)
        if (modes[i]->w >= width && modes[i]->h >= height) return false;
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    if (!info || info->current_w <= 0 || info->current_h <= 0) return false;
    width = info->current_w;
    height = info->current_h;
    askedWidth = 0;
    askedHeight = 0;
    return true;
}

Result<void> Display::takeScreen() {
    // A full-screen window takes the pointer and keyboard; while another
    // program holds them SDL would wait for ever. Copies of this program
    // started together would each find them free and then wait on each
    // other: the claim lets one through. In a host's window the host owns
    // the input: nothing is claimed, grabbed or hidden there.
    const int limitMs = 3000;
    // A copy that holds the claim is drawing, or ending (a host swapping
    // savers), which takes a fraction of a second: a short wait serves,
    // and the one left out says so well within the 3 s.
    const int claimWaitMs = 1000;
    const double start = platform::monotonicSeconds();
    if (const Result<void> claimed = platform::claimScreen(claimWaitMs); !claimed)
        return failure("cannot take the screen: " + claimed.message());
    const int spentMs = static_cast<int>((platform::monotonicSeconds() - start) * 1000);
    if (!platform::waitForInputGrab(spentMs < limitMs ? limitMs - spentMs : 0)) {
        platform::releaseScreen();
        return failure("cannot take the screen: another program holds the pointer or keyboard");
    }
    return success();
}

Result<void> Display::setVideoMode() {
    if (tryVideoMode()) return success();
    if (compatCopyOff) {
        // Straight to the window, sdl12-compat offers only the X server's
        // visuals (Xvfb's have no samples), and once a mode has failed SDL 2
        // opens none in the same video session. Video starts again with the
        // copy, whose framebuffer has what the window lacks.
        compatCopyOff = false;
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        platform::putEnv(compatScaling, "1");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) < 0)
            return failure(std::string("Video initialization failed: ") + SDL_GetError());
        if (tryVideoMode()) return success();
    }
    return failure(std::string("Video mode set failed: ") + SDL_GetError());
}

bool Display::tryVideoMode() {
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    Uint32 flags = SDL_OPENGL | SDL_HWSURFACE | SDL_ASYNCBLIT;
    if (!embedded()) flags |= onMonitor ? SDL_NOFRAME : SDL_FULLSCREEN;
    if (info && info->blit_hw) flags |= SDL_HWACCEL;

    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // Decided before the mode is set, so that the visible mode is set once:
    // a second mode on the same window (or a host's) is what SDL
    // implementations handle least alike.
    const bool askSamples = wantMultisampling();
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, askSamples ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, askSamples ? 4 : 0);
    SDL_GL_SetAttribute(SDL_GL_ACCELERATED_VISUAL, 1);

    // The title the task switcher and the window list show (SDL's default
    // is its own name). A host's window keeps its own.
    if (!embedded()) SDL_WM_SetCaption("Quessanta", "Quessanta");
    screenSurface = SDL_SetVideoMode(width, height, 32, flags);
    if (screenSurface) {
        if (askSamples) glEnable(GL_MULTISAMPLE);
    } else {
        // A driver without 4x visuals still gets a mode. The accelerated-
        // visual request stays as it was: classic SDL 1.2 treats 0 like 1,
        // but SDL 2 under sdl12-compat reads 0 as "only a software visual",
        // which Mesa does not offer, and the retry would fail everywhere.
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 0);
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 0);
        screenSurface = SDL_SetVideoMode(width, height, 32, flags);
        if (!screenSurface) return false;
    }

    GLint sampleBuffers = 0;
    glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
    setFramebufferMultisampled(sampleBuffers > 0);
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, 0.9f);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);

    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (extensions) {
        const std::size_t length = std::strlen(extensions);
        char* copy = static_cast<char*>(std::malloc(length + 1));
        if (copy) {
            std::memcpy(copy, extensions, length + 1);
            if (std::strstr(copy, "GL_EXT_separate_specular_color"))
                glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL_EXT, GL_SEPARATE_SPECULAR_COLOR_EXT);
            std::free(copy);
        }
    }

    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    setProjection(width, height);
    return true;
}

void Display::setProjection(std::int32_t w, std::int32_t h) {
    if (h == 0) h = 1;
    const float aspect = static_cast<float>(w) / static_cast<float>(h);
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, aspect, static_cast<double>(0.1f), 250.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    GLdouble modelView[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    gluUnProject(0.0, 0.0, -1.0, modelView, projection, viewport, &cornerNear[0], &cornerNear[1], &cornerNear[2]);
}

double Display::edgeX(double depth) const { return cornerNear[0] * depth / cornerNear[2]; }
double Display::edgeY(double depth) const { return cornerNear[1] * depth / cornerNear[2]; }

#include "render/Display.h"

#include "platform/Platform.h"
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
    // SDL draws into the window these name; sdl12-compat also wants to be
    // told that it may make it an OpenGL window (classic SDL ignores that).
    platform::putEnv("SDL_WINDOWID", std::to_string(window).c_str());
    platform::putEnv("SDL_VIDEO_FOREIGN_WINDOW_OPENGL", "1");
    // The host may destroy its window at any moment, and then we end
    // quietly; Mesa would first complain on stderr that it lost the
    // drawable. LIBGL_DEBUG set by the user still speaks.
    if (platform::getEnv("LIBGL_DEBUG").empty()) platform::putEnv("LIBGL_DEBUG", "quiet");
    std::unique_ptr<Display> display(new Display);
    display->hostWindow = window;
    if (const Result<void> opened = display->init(w, h, 32); !opened) return opened.error();
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
    }
    // A full-screen window takes the pointer and keyboard; while another
    // program holds them SDL would wait for ever. In a host's window the
    // host owns the input: nothing is grabbed or hidden there.
    if (!embedded() && !platform::waitForInputGrab(3000)) {
        SDL_Quit();
        return failure("cannot take the screen: another program holds the pointer or keyboard");
    }
    if (const Result<void> opened = openVideo(); !opened) {
        SDL_Quit();
        return opened;
    }
    if (!embedded()) {
        SDL_ShowCursor(SDL_DISABLE);
        platform::bringToFront(nativeWindow());
    }
    return success();
}

void Display::resize(std::int32_t w, std::int32_t h) {
    width = w;
    height = h;
    setProjection(w, h);
}

Display::~Display() { SDL_Quit(); }

Result<void> Display::openVideo() { return setVideoMode(); }

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

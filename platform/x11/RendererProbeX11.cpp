// X11 implementation of the platform layer's renderer probe: a throwaway
// GLX context on an unmapped window of the default screen. Covers any X
// server with GLX; without one (or without a display) the renderer is
// unknown.
#include "platform/Platform.h"
#include "platform/common/DrawableSideLimit.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

namespace platform {

namespace {

int ignoreError(::Display*, XErrorEvent*) { return 0; }

// What one throwaway context told; asked once, since a display keeps its
// renderer.
struct ProbeState {
    bool probed = false;
    std::string renderer;
    int maxSide = 0;
};

ProbeState state;

void probe() {
    if (state.probed) return;
    state.probed = true;
    ::Display* display = XOpenDisplay(nullptr);
    if (!display) return;
    int errorBase = 0, eventBase = 0;
    // A server without GLX, or one that refuses us a context, must not end
    // the process through Xlib's default handler: the answer is "unknown".
    XErrorHandler before = XSetErrorHandler(ignoreError);
    if (glXQueryExtension(display, &errorBase, &eventBase)) {
        int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                            GLX_DEPTH_SIZE, 24, None};
        const int screen = DefaultScreen(display);
        XVisualInfo* visual = glXChooseVisual(display, screen, attributes);
        if (visual) {
            const Window root = RootWindow(display, screen);
            XSetWindowAttributes set = {};
            set.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
            const Window window = XCreateWindow(display, root, 0, 0, 1, 1, 0, visual->depth, InputOutput,
                                                visual->visual, CWColormap, &set);
            // The thread's current context, if it has one, is current again
            // afterwards: the probe must not take it away from its owner.
            ::Display* const ownerDisplay = glXGetCurrentDisplay();
            const GLXContext ownerContext = glXGetCurrentContext();
            const GLXDrawable ownerDraw = glXGetCurrentDrawable();
            const GLXDrawable ownerRead = glXGetCurrentReadDrawable();
            const GLXContext context = glXCreateContext(display, visual, nullptr, True);
            if (context && glXMakeCurrent(display, window, context)) {
                const GLubyte* name = glGetString(GL_RENDERER);
                if (name) state.renderer = reinterpret_cast<const char*>(name);
                state.maxSide = currentMaxDrawableSide();
                if (ownerContext)
                    glXMakeContextCurrent(ownerDisplay, ownerDraw, ownerRead, ownerContext);
                else
                    glXMakeCurrent(display, None, nullptr);
            }
            if (context) glXDestroyContext(display, context);
            XDestroyWindow(display, window);
            XFreeColormap(display, set.colormap);
            XFree(visual);
        }
    }
    XSync(display, False);
    XSetErrorHandler(before);
    XCloseDisplay(display);
}

}  // namespace

std::string openGlRenderer() {
    probe();
    return state.renderer;
}

int openGlMaxDrawableSide() {
    probe();
    return state.maxSide;
}

}  // namespace platform

// Windows implementation of the platform layer's renderer probe: a
// throwaway WGL context on a hidden window of its own class. Covers every
// Windows with OpenGL 1.1 (opengl32.dll); the renderer is unknown where no
// pixel format or context can be had.
#include "platform/Platform.h"

#include <windows.h>

#include <GL/gl.h>

// After windows.h, which gl.h needs first there.
#include "platform/common/DrawableSideLimit.h"

namespace platform {

namespace {

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
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const wchar_t* const className = L"QuessantaRendererProbe";
    WNDCLASSW windowClass = {};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className;
    const bool registered = RegisterClassW(&windowClass) != 0;
    const HWND window = CreateWindowExW(0, className, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance,
                                        nullptr);
    if (window) {
        const HDC dc = GetDC(window);
        PIXELFORMATDESCRIPTOR format = {};
        format.nSize = sizeof format;
        format.nVersion = 1;
        format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        format.iPixelType = PFD_TYPE_RGBA;
        format.cColorBits = 24;
        format.cDepthBits = 24;
        const int chosen = dc ? ChoosePixelFormat(dc, &format) : 0;
        if (chosen && SetPixelFormat(dc, chosen, &format)) {
            // The thread's current context, if it has one, is current again
            // afterwards: the probe must not take it away from its owner.
            const HDC ownerDc = wglGetCurrentDC();
            const HGLRC ownerContext = wglGetCurrentContext();
            const HGLRC context = wglCreateContext(dc);
            if (context && wglMakeCurrent(dc, context)) {
                const GLubyte* name = glGetString(GL_RENDERER);
                if (name) state.renderer = reinterpret_cast<const char*>(name);
                state.maxSide = currentMaxDrawableSide();
                wglMakeCurrent(ownerDc, ownerContext);
            }
            if (context) wglDeleteContext(context);
        }
        if (dc) ReleaseDC(window, dc);
        DestroyWindow(window);
    }
    if (registered) UnregisterClassW(className, instance);
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

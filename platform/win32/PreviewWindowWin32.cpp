// Windows implementation of the preview pane: a child window of class
// "Zandrim" filling the client area of the host's window (the screensaver
// settings' little monitor), painted from the RGB buffer the program gives.
// It ends when the host destroys it, which destroys the child too. Covers
// every Windows; lacks following the host's resizes (the settings never
// resize their pane).
#include "platform/Platform.h"
#include "platform/win32/Win32Text.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace platform {

struct PreviewWindow {
    HWND window = nullptr;
    bool destroyed = false;
    bool paintWanted = false;
    // The picture as a top-down 24-bit DIB: rows of blue, green, red,
    // padded to 4 bytes.
    std::vector<unsigned char> pixels;
    int width = 0;
    int height = 0;
};

namespace {

const wchar_t* const className = L"Zandrim";

void blit(HDC dc, const PreviewWindow& pw) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = pw.width;
    info.bmiHeader.biHeight = -pw.height;  // row 0 at the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(dc, 0, 0, pw.width, pw.height, 0, 0, pw.width, pw.height, pw.pixels.data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
}

LRESULT CALLBACK previewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const CREATESTRUCTW* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    PreviewWindow* pw = reinterpret_cast<PreviewWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // the painting covers the whole pane
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(window, &paint);
            if (pw && !pw->pixels.empty()) {
                blit(dc, *pw);
            } else {
                // Black until the program has given its picture.
                FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
                if (pw) pw->paintWanted = true;
            }
            EndPaint(window, &paint);
            return 0;
        }
        case WM_DESTROY:
            if (pw) pw->destroyed = true;
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

Result<PreviewWindow*> previewOpen(std::uint64_t parent, int* width, int* height) {
    const HWND host = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(parent));
    const std::string id = std::to_string(static_cast<unsigned long long>(parent));
    RECT client;
    if (!IsWindow(host) || !GetClientRect(host, &client)) return failure("preview: " + id + " is not a window");
    const int w = client.right - client.left > 0 ? client.right - client.left : 1;
    const int h = client.bottom - client.top > 0 ? client.bottom - client.top : 1;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = previewProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = className;
    if (!RegisterClassExW(&windowClass))
        return failure("preview: cannot register the window class: " + win32::errorText(GetLastError()));
    PreviewWindow* pw = new PreviewWindow;
    pw->window = CreateWindowExW(0, className, L"Quessanta", WS_CHILD | WS_VISIBLE, 0, 0, w, h, host, nullptr,
                                 instance, pw);
    if (!pw->window) {
        const std::string reason = win32::errorText(GetLastError());
        delete pw;
        UnregisterClassW(className, instance);
        return failure("preview: cannot create a window in " + id + ": " + reason);
    }
    *width = w;
    *height = h;
    return pw;
}

PreviewEvent previewWait(PreviewWindow* pw) {
    for (;;) {
        if (pw->destroyed) return PreviewEvent::Closed;
        if (pw->paintWanted) {
            pw->paintWanted = false;
            return PreviewEvent::Paint;
        }
        MSG message;
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        // WM_QUIT comes after WM_DESTROY; an error means there is no
        // window left to wait for either.
        if (got <= 0) return PreviewEvent::Closed;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void previewPaint(PreviewWindow* pw, const unsigned char* rgb, int width, int height) {
    if (width <= 0 || height <= 0 || pw->destroyed) return;
    const std::size_t stride = (3 * static_cast<std::size_t>(width) + 3) & ~static_cast<std::size_t>(3);
    pw->pixels.assign(stride * static_cast<std::size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        const unsigned char* from = rgb + 3 * static_cast<std::size_t>(y) * width;
        unsigned char* to = pw->pixels.data() + stride * y;
        for (int x = 0; x < width; ++x, from += 3, to += 3) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
        }
    }
    pw->width = width;
    pw->height = height;
    // Painted now, through WM_PAINT, and again whenever the pane is uncovered.
    InvalidateRect(pw->window, nullptr, FALSE);
    UpdateWindow(pw->window);
}

void previewClose(PreviewWindow* pw) {
    if (!pw) return;
    if (!pw->destroyed) DestroyWindow(pw->window);
    delete pw;
    UnregisterClassW(className, GetModuleHandleW(nullptr));
}

}  // namespace platform

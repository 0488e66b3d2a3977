// Another program's window for "/s" to cover: one colour, pure magenta, on
// the area given, until it is killed. A screenshot that shows no magenta
// shows none of it. First it says which monitors Wine reports, one line
// each: "monitor X,Y,WIDTHxHEIGHT".
// Usage: marker_window X Y WIDTH HEIGHT
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

BOOL CALLBACK printMonitor(HMONITOR, HDC, LPRECT r, LPARAM) {
    std::printf("monitor %ld,%ld,%ldx%ld\n", r->left, r->top, r->right - r->left, r->bottom - r->top);
    return TRUE;
}

LRESULT CALLBACK markerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) return 2;
    EnumDisplayMonitors(nullptr, nullptr, printMonitor, 0);
    std::fflush(stdout);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = markerProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = magenta;
    windowClass.lpszClassName = L"Marker";
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowExW(0, L"Marker", L"Marker", WS_POPUP | WS_VISIBLE, std::atoi(argv[1]),
                                        std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), nullptr, nullptr,
                                        instance, nullptr);
    if (!window) return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    UnregisterClassW(L"Marker", instance);
    DeleteObject(magenta);
    return 0;
}

// The preview's pixels, which Wine does not show when the pane belongs to
// another process: opens panes of its own (host windows of this process),
// lets the platform layer's preview window paint there what the program
// paints (previewPicture), reads the pixels back from the screen and
// compares them with preview.ppk decoded here by hand. A 152-pixel-wide
// pane shows the bitmap in its top-left corner and black below it; any
// other width is black. Reads the installation directory's preview.ppk
// (QUESSANTA_PATH). Prints one line per pane; exit code 0 when all match.
#include "app/RunModes.h"
#include "platform/Platform.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;  // rows from the top
};

std::uint32_t le32(const std::vector<unsigned char>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// An uncompressed 24-bit BMP, rows from the bottom, each padded to 4 bytes.
bool readBmp(const std::string& path, Picture* out) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || (b[28] | (b[29] << 8)) != 24 || le32(b, 30) != 0) return false;
    const std::uint32_t offset = le32(b, 10);
    const int w = static_cast<int>(le32(b, 18)), h = static_cast<int>(le32(b, 22));
    const std::size_t stride = (3 * static_cast<std::size_t>(w) + 3) & ~static_cast<std::size_t>(3);
    if (w <= 0 || h <= 0 || offset + stride * h > b.size()) return false;
    out->width = w;
    out->height = h;
    out->rgb.resize(3 * static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = &b[offset + stride * (h - 1 - y) + 3 * x];
            unsigned char* q = &out->rgb[3 * (static_cast<std::size_t>(y) * w + x)];
            q[0] = p[2];
            q[1] = p[1];
            q[2] = p[0];
        }
    return true;
}

// The window's pixels as the screen has them, rows from the top.
Picture readBack(HWND window, int w, int h) {
    Picture shot;
    const HDC source = GetDC(window);
    const HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        const HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, w, h, source, 0, 0, SRCCOPY);
        GdiFlush();
        shot.width = w;
        shot.height = h;
        shot.rgb.resize(3 * static_cast<std::size_t>(w) * h);
        const unsigned char* p = static_cast<const unsigned char*>(bits);
        for (std::size_t i = 0; i < static_cast<std::size_t>(w) * h; ++i) {
            shot.rgb[3 * i] = p[4 * i + 2];
            shot.rgb[3 * i + 1] = p[4 * i + 1];
            shot.rgb[3 * i + 2] = p[4 * i];
        }
        SelectObject(memory, old);
    }
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, source);
    return shot;
}

void pumpMessages(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    }
}

// One pane: true when its pixels are the expected ones.
bool checkPane(const Picture& bitmap, int w, int h) {
    const HWND host = CreateWindowExA(0, "QuessantaTestPane", "pane", WS_POPUP | WS_VISIBLE, 0, 0, w, h, nullptr,
                                      nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!host) {
        std::printf("pane %dx%d: cannot create the host window\n", w, h);
        return false;
    }
    pumpMessages(300);
    int paneW = 0, paneH = 0;
    platform::PreviewWindow* preview = platform::previewOpen(reinterpret_cast<std::uintptr_t>(host), &paneW, &paneH);
    if (!preview) {
        DestroyWindow(host);
        std::printf("pane %dx%d: previewOpen failed\n", w, h);
        return false;
    }
    bool ok = true;
    std::vector<unsigned char> rgb;
    if (paneW != w || paneH != h) {
        std::printf("pane %dx%d: the preview window is %dx%d\n", w, h, paneW, paneH);
        ok = false;
    } else if (platform::previewWait(preview) != platform::PreviewEvent::Paint) {
        std::printf("pane %dx%d: no paint request\n", w, h);
        ok = false;
    } else if (!previewPicture(w, h, &rgb)) {
        std::printf("pane %dx%d: the program cannot make its picture\n", w, h);
        ok = false;
    }
    if (ok) {
        platform::previewPaint(preview, rgb.data(), w, h);
        pumpMessages(300);
        const Picture shot = readBack(GetWindow(host, GW_CHILD), w, h);
        long differ = 0, firstX = -1, firstY = -1, nonBlack = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                unsigned char expected[3] = {0, 0, 0};
                if (w == 152 && x < bitmap.width && y < bitmap.height)
                    for (int c = 0; c < 3; ++c) expected[c] = bitmap.rgb[3 * (static_cast<std::size_t>(y) * bitmap.width + x) + c];
                const unsigned char* got = shot.rgb.empty() ? expected : &shot.rgb[3 * (static_cast<std::size_t>(y) * w + x)];
                if (shot.rgb.empty() || got[0] != expected[0] || got[1] != expected[1] || got[2] != expected[2]) {
                    if (differ++ == 0) firstX = x, firstY = y;
                }
                if (!shot.rgb.empty() && (got[0] || got[1] || got[2])) ++nonBlack;
            }
        std::printf("pane %dx%d: %ld of %d pixels differ (first at %ld,%ld), %ld not black\n", w, h, differ, w * h,
                    firstX, firstY, nonBlack);
        ok = differ == 0;
    }
    // The pane goes with its host, as when the settings close.
    DestroyWindow(host);
    if (ok && platform::previewWait(preview) != platform::PreviewEvent::Closed) {
        std::printf("pane %dx%d: the preview did not see its window go\n", w, h);
        ok = false;
    }
    platform::previewClose(preview);
    return ok;
}

}  // namespace

int main() {
    Picture bitmap;
    const std::string path = platform::installDir() + "preview.ppk";
    if (!readBmp(path, &bitmap)) {
        std::printf("cannot read %s as a 24-bit BMP\n", path.c_str());
        return 1;
    }
    std::printf("%s: %dx%d\n", path.c_str(), bitmap.width, bitmap.height);
    WNDCLASSA paneClass = {};
    paneClass.lpfnWndProc = DefWindowProcA;
    paneClass.hInstance = GetModuleHandleA(nullptr);
    paneClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    paneClass.lpszClassName = "QuessantaTestPane";
    RegisterClassA(&paneClass);
    // The settings' pane, one taller than the bitmap, and one wider.
    bool ok = checkPane(bitmap, 152, 112);
    ok = checkPane(bitmap, 152, 130) && ok;
    ok = checkPane(bitmap, 200, 150) && ok;
    UnregisterClassA(paneClass.lpszClassName, paneClass.hInstance);
    std::fflush(stdout);
    return ok ? 0 : 1;
}

// The preview's pixels, which Wine does not show when the pane belongs to
// another process: opens panes of its own (host windows of this process),
// lets the platform layer's preview window paint there what the program
// paints (previewPicture), reads the pixels back from the screen and
// compares them with preview.ppk decoded here by hand. A pane of the
// bitmap's size (152 x 112) shows it pixel for pixel; any other is filled
// with it scaled, so each quarter of the pane has about the colour of that
// quarter of the bitmap. Reads the installation directory's preview.ppk
// (QUESSANTA_PATH). Prints one line per pane; exit code 0 when all match.
#include "app/RunModes.h"
#include "platform/Platform.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
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

struct Mean {
    int c[3];
};

// The mean colour of a quarter (0 top left, 1 top right, 2 bottom left, 3
// bottom right).
Mean quarterMean(const Picture& p, int quarter) {
    const int x0 = quarter % 2 ? p.width / 2 : 0, y0 = quarter / 2 ? p.height / 2 : 0;
    const int x1 = quarter % 2 ? p.width : p.width / 2, y1 = quarter / 2 ? p.height : p.height / 2;
    double sum[3] = {0, 0, 0};
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            for (int c = 0; c < 3; ++c) sum[c] += p.rgb[3 * (static_cast<std::size_t>(y) * p.width + x) + c];
    const double n = std::max(1, (x1 - x0) * (y1 - y0));
    return Mean{{static_cast<int>(sum[0] / n), static_cast<int>(sum[1] / n), static_cast<int>(sum[2] / n)}};
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
    const Result<platform::PreviewWindow*> opened =
        platform::previewOpen(reinterpret_cast<std::uintptr_t>(host), &paneW, &paneH);
    if (!opened) {
        DestroyWindow(host);
        std::printf("pane %dx%d: previewOpen failed: %s\n", w, h, opened.message().c_str());
        return false;
    }
    platform::PreviewWindow* preview = *opened;
    bool ok = true;
    Result<std::vector<unsigned char>> picture = failure("not made");
    if (paneW != w || paneH != h) {
        std::printf("pane %dx%d: the preview window is %dx%d\n", w, h, paneW, paneH);
        ok = false;
    } else if (platform::previewWait(preview) != platform::PreviewEvent::Paint) {
        std::printf("pane %dx%d: no paint request\n", w, h);
        ok = false;
    } else if (!(picture = previewPicture(w, h))) {
        std::printf("pane %dx%d: the program cannot make its picture: %s\n", w, h, picture.message().c_str());
        ok = false;
    }
    const std::vector<unsigned char> rgb = picture ? *picture : std::vector<unsigned char>();
    if (ok) {
        platform::previewPaint(preview, rgb.data(), w, h);
        pumpMessages(300);
        const Picture shot = readBack(GetWindow(host, GW_CHILD), w, h);
        if (shot.rgb.empty()) {
            std::printf("pane %dx%d: cannot read it back\n", w, h);
            ok = false;
        } else if (w == bitmap.width && h == bitmap.height) {
            const long differ = static_cast<long>(std::mismatch(shot.rgb.begin(), shot.rgb.end(), bitmap.rgb.begin()).first -
                                                  shot.rgb.begin());
            ok = shot.rgb == bitmap.rgb;
            std::printf("pane %dx%d: %s (first difference at byte %ld)\n", w, h, ok ? "the bitmap" : "not the bitmap",
                        differ);
        } else {
            int worst = 0;
            for (int q = 0; q < 4; ++q) {
                const Mean a = quarterMean(shot, q), b = quarterMean(bitmap, q);
                for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(a.c[c] - b.c[c]));
            }
            ok = worst <= 12;
            std::printf("pane %dx%d: quarters within %d of the bitmap's\n", w, h, worst);
        }
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
    // The settings' pane at 100 % and 200 %, and the usual 4:3.
    bool ok = checkPane(bitmap, 152, 112);
    ok = checkPane(bitmap, 304, 224) && ok;
    ok = checkPane(bitmap, 320, 240) && ok;
    UnregisterClassA(paneClass.lpszClassName, paneClass.hInstance);
    std::fflush(stdout);
    return ok ? 0 : 1;
}

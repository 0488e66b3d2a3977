// "/p <window>": a still picture of the scene in the host's preview pane.
#include "app/App.h"
#include "app/RunModes.h"
#include "platform/Platform.h"
#include "res/ImageDecoder.h"
#include "formats/ImageHeader.h"

#include <SDL/SDL.h>

#include <cstdio>
#include <vector>

namespace {

// Paints the preview bitmap (bytes 2, 1, 0 of each pixel are red, green,
// blue) into the top-left corner of a black pane. False when the bitmap
// cannot be read.
bool paintBitmap(std::vector<unsigned char>& rgb, int paneWidth, int paneHeight) {
    const std::string path = App::installDir.dataPathOf("preview.ppk");
    std::vector<unsigned char> bytes;
    platform::ReadFailure failure;
    if (!platform::readRegularFile(path, &bytes, &failure)) {
        std::fprintf(stderr, "Preview: cannot read %s: %s\n", path.c_str(), failure.reason.c_str());
        return false;
    }
    std::string reason;
    SDL_Surface* picture = decodeImage(bytes.data(), bytes.size(), maxImageSide, &reason);
    if (!picture) {
        std::fprintf(stderr, "Preview: cannot read %s: %s\n", path.c_str(), reason.c_str());
        return false;
    }
    SDL_LockSurface(picture);
    const int bpp = picture->format->BytesPerPixel;
    const int w = picture->w < paneWidth ? picture->w : paneWidth;
    const int h = picture->h < paneHeight ? picture->h : paneHeight;
    for (int y = 0; y < h; ++y) {
        // Rows are pitch bytes apart, which is more than 3 x width when the
        // width is not a multiple of 4.
        const unsigned char* row = static_cast<const unsigned char*>(picture->pixels) + y * picture->pitch;
        for (int x = 0; x < w; ++x) {
            unsigned char* out = &rgb[3 * (static_cast<size_t>(y) * paneWidth + x)];
            if (bpp == 3) {
                out[0] = row[3 * x + 2];
                out[1] = row[3 * x + 1];
                out[2] = row[3 * x + 0];
            } else {
                Uint32 pixel = 0;
                const unsigned char* p = row + bpp * x;
                for (int i = 0; i < bpp; ++i) pixel |= static_cast<Uint32>(p[i]) << (8 * i);
                SDL_GetRGB(pixel, picture->format, &out[0], &out[1], &out[2]);
            }
        }
    }
    SDL_UnlockSurface(picture);
    SDL_FreeSurface(picture);
    return true;
}

}  // namespace

bool previewPicture(int width, int height, std::vector<unsigned char>* rgb) {
    rgb->assign(3 * static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    return width != 152 || paintBitmap(*rgb, width, height);
}

int runPreview(const std::string& windowId) {
    std::uint64_t parent = 0;
    if (!platform::parseWindowId(windowId, &parent)) {
        std::fprintf(stderr, "Preview: \"%s\" is not a window id (usage: /p <window id>)\n", windowId.c_str());
        return 1;
    }
    App::previewParent = parent;
    int width = 0, height = 0;
    App::previewWindow = platform::previewOpen(parent, &width, &height);
    if (!App::previewWindow) return 1;
    App::previewWidth = width;
    App::previewHeight = height;

    int result = 0;
    for (;;) {
        if (platform::previewWait(App::previewWindow) == platform::PreviewEvent::Closed) break;
        std::vector<unsigned char> rgb;
        if (!previewPicture(width, height, &rgb)) {
            result = 1;
            break;
        }
        platform::previewPaint(App::previewWindow, rgb.data(), width, height);
    }
    platform::previewClose(App::previewWindow);
    App::previewWindow = nullptr;
    return result;
}

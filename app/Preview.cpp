// "/p <window>": a still picture of the scene in the host's preview pane.
#include "app/App.h"
#include "app/RunModes.h"
#include "platform/Platform.h"
#include "render/ImageDecoder.h"
#include "formats/ImageHeader.h"

#include <SDL/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// The preview bitmap as rows of red, green, blue from the top (bytes 2, 1, 0
// of each of its pixels); an error when it cannot be read.
Result<void> readBitmap(std::vector<unsigned char>* rgb, int* width, int* height) {
    const std::string path = App::installDir.dataPathOf("preview.ppk");
    const Result<std::vector<unsigned char>> bytes = platform::readRegularFile(path);
    if (!bytes) return failure("preview: cannot read " + path + ": " + bytes.message());
    const Result<SDL_Surface*> decoded = decodeImage(bytes->data(), bytes->size(), maxImageSide);
    if (!decoded) return failure("preview: cannot read " + path + ": " + decoded.message());
    SDL_Surface* picture = *decoded;
    SDL_LockSurface(picture);
    const int bpp = picture->format->BytesPerPixel;
    *width = picture->w;
    *height = picture->h;
    rgb->assign(3 * static_cast<size_t>(picture->w) * picture->h, 0);
    for (int y = 0; y < picture->h; ++y) {
        // Rows are pitch bytes apart, which is more than 3 x width when the
        // width is not a multiple of 4.
        const unsigned char* row = static_cast<const unsigned char*>(picture->pixels) + y * picture->pitch;
        for (int x = 0; x < picture->w; ++x) {
            unsigned char* out = &(*rgb)[3 * (static_cast<size_t>(y) * picture->w + x)];
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
    return success();
}

struct Tap {
    int index;
    float weight;
};

// The source pixels and weights of each of `out` pixels along one axis,
// `scale` output pixels to a source pixel, from source position `offset`:
// linear interpolation when enlarging, the average of the covered area
// when reducing. At scale 1 and offset 0 each pixel is its source pixel.
std::vector<std::vector<Tap>> axisTaps(int source, int out, double scale, double offset) {
    std::vector<std::vector<Tap>> taps(static_cast<size_t>(out));
    auto clamped = [source](int i) { return i < 0 ? 0 : i >= source ? source - 1 : i; };
    for (int o = 0; o < out; ++o) {
        if (scale >= 1) {
            const double centre = offset + (o + 0.5) / scale - 0.5;
            const int i = static_cast<int>(std::floor(centre));
            const double t = centre - i;
            taps[o] = {{clamped(i), static_cast<float>(1 - t)}, {clamped(i + 1), static_cast<float>(t)}};
        } else {
            const double lo = offset + o / scale, hi = offset + (o + 1) / scale;
            for (int i = static_cast<int>(std::floor(lo)); i < hi; ++i) {
                const double covered = std::min(hi, i + 1.0) - std::max(lo, static_cast<double>(i));
                if (covered > 0) taps[o].push_back({clamped(i), static_cast<float>(covered * scale)});
            }
        }
    }
    return taps;
}

}  // namespace

Result<std::vector<unsigned char>> previewPicture(int width, int height) {
    std::vector<unsigned char> picture(3 * static_cast<size_t>(width > 0 ? width : 0) *
                                       static_cast<size_t>(height > 0 ? height : 0), 0);
    std::vector<unsigned char>* rgb = &picture;
    std::vector<unsigned char> bitmap;
    int bw = 0, bh = 0;
    if (const Result<void> read = readBitmap(&bitmap, &bw, &bh); !read) return read.error();
    if (width <= 0 || height <= 0 || bw <= 0 || bh <= 0) return picture;
    // Scaled to cover the whole pane, the same in both directions, centred:
    // a pane of another shape loses a little at two edges.
    const double scale = std::max(static_cast<double>(width) / bw, static_cast<double>(height) / bh);
    const auto xs = axisTaps(bw, width, scale, (bw - width / scale) / 2);
    const auto ys = axisTaps(bh, height, scale, (bh - height / scale) / 2);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            float sum[3] = {0, 0, 0};
            for (const Tap& ty : ys[y])
                for (const Tap& tx : xs[x]) {
                    const unsigned char* p = &bitmap[3 * (static_cast<size_t>(ty.index) * bw + tx.index)];
                    for (int c = 0; c < 3; ++c) sum[c] += ty.weight * tx.weight * p[c];
                }
            unsigned char* out = &(*rgb)[3 * (static_cast<size_t>(y) * width + x)];
            for (int c = 0; c < 3; ++c) out[c] = static_cast<unsigned char>(std::clamp(sum[c] + 0.5f, 0.0f, 255.0f));
        }
    return picture;
}

int runPreview(const std::string& windowId) {
    std::uint64_t parent = 0;
    // The preview's messages stay on stderr: a message box over the
    // settings window would come up each time the pane is drawn.
    if (!platform::parseDecimalWindowHandle(windowId, &parent)) {
        platform::warn("preview: \"" + windowId + "\" is not a window id (usage: /p <window id>)");
        return 1;
    }
    App::previewParent = parent;
    int width = 0, height = 0;
    const Result<platform::PreviewWindow*> opened = platform::previewOpen(parent, &width, &height);
    if (!opened) {
        platform::warn(opened.message());
        return 1;
    }
    App::previewWindow = *opened;
    App::previewWidth = width;
    App::previewHeight = height;

    int result = 0;
    for (;;) {
        if (platform::previewWait(App::previewWindow) == platform::PreviewEvent::Closed) break;
        const Result<std::vector<unsigned char>> rgb = previewPicture(width, height);
        if (!rgb) {
            platform::warn(rgb.message());
            result = 1;
            break;
        }
        platform::previewPaint(App::previewWindow, rgb->data(), width, height);
    }
    platform::previewClose(App::previewWindow);
    App::previewWindow = nullptr;
    return result;
}

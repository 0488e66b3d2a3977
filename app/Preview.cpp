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
// of each of its pixels). False when it cannot be read.
bool readBitmap(std::vector<unsigned char>* rgb, int* width, int* height) {
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
    return true;
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

bool previewPicture(int width, int height, std::vector<unsigned char>* rgb) {
    rgb->assign(3 * static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    std::vector<unsigned char> bitmap;
    int bw = 0, bh = 0;
    if (!readBitmap(&bitmap, &bw, &bh)) return false;
    if (width <= 0 || height <= 0 || bw <= 0 || bh <= 0) return true;
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
    return true;
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

#include "render/DrawableBound.h"

#include <cmath>

DrawableSize boundDrawable(std::int32_t width, std::int32_t height, std::int32_t maxSide) {
    if (maxSide <= 0) maxSide = fallbackMaxSide;
    DrawableSize size;
    size.width = width < 1 ? 1 : (width > maxSide ? maxSide : width);
    size.height = height < 1 ? 1 : (height > maxSide ? maxSide : height);
    const std::int64_t pixels = std::int64_t{size.width} * size.height;
    if (pixels > maxDrawablePixels) {
        const double scale = std::sqrt(static_cast<double>(maxDrawablePixels) / static_cast<double>(pixels));
        size.width = static_cast<std::int32_t>(size.width * scale);
        size.height = static_cast<std::int32_t>(size.height * scale);
        if (size.width < 1) size.width = 1;
        if (size.height < 1) size.height = 1;
    }
    return size;
}

// Text outlines from a TrueType font through FreeType, unhinted, so that
// glyphs scale and place with sub-pixel precision.
#pragma once

#include "geometry/Path.h"
#include "platform/Result.h"

#include <string>

namespace artgen {

struct TextMetrics {
    double advance = 0;           // pen advance of the whole string
    double inkLeft = 0;           // ink bounds relative to the pen start and
    double inkRight = 0;          // the baseline, y growing downwards
    double inkTop = 0;
    double inkBottom = 0;
};

class Font {
public:
    // A font is opened before it is used.
    Font();
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Loads the font file; a one-line reason when it cannot be loaded.
    Result<void> open(const std::string& path);

    // The outline of a UTF-8 string at `size` pixels per em, pen starting at
    // `origin` on the baseline; y grows downwards as in the pictures.
    Path text(const std::string& utf8, double size, Vec2 origin, double tracking = 0) const;
    TextMetrics measure(const std::string& utf8, double size, double tracking = 0) const;

    // Where to put the pen so that the string's ink is centred on `centre`.
    Vec2 centredOrigin(const std::string& utf8, double size, Vec2 centre, double tracking = 0) const;

private:
    void close();
    struct Impl;
    Impl* impl;
};

// The DejaVu fonts of the system (Debian fonts-dejavu-core).
std::string dejaVuPath(const std::string& file);

}  // namespace artgen

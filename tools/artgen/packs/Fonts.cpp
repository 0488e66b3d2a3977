#include "packs/Fonts.h"

namespace artgen {

Result<void> Fonts::open() {
    const std::pair<Font*, std::string> faces[] = {
        {&sans, dejaVuPath("DejaVuSans.ttf")},
        {&sansBold, dejaVuPath("DejaVuSans-Bold.ttf")},
        {&condensedBold, dejaVuPath("DejaVuSansCondensed-Bold.ttf")},
        {&serif, dejaVuPath("DejaVuSerif.ttf")},
        {&serifBold, dejaVuPath("DejaVuSerif-Bold.ttf")},
        {&serifItalic, dejaVuPath("DejaVuSerifCondensed-Italic.ttf")},
    };
    for (const auto& [font, path] : faces)
        if (Result<void> opened = font->open(path); !opened) return opened;
    return success();
}

}  // namespace artgen

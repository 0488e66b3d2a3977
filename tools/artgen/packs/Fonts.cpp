#include "packs/Fonts.h"

namespace artgen {

bool Fonts::open(std::string* error) {
    return sans.open(dejaVuPath("DejaVuSans.ttf"), error) && sansBold.open(dejaVuPath("DejaVuSans-Bold.ttf"), error) &&
           condensedBold.open(dejaVuPath("DejaVuSansCondensed-Bold.ttf"), error) &&
           serif.open(dejaVuPath("DejaVuSerif.ttf"), error) && serifBold.open(dejaVuPath("DejaVuSerif-Bold.ttf"), error) &&
           serifItalic.open(dejaVuPath("DejaVuSerifCondensed-Italic.ttf"), error);
}

}  // namespace artgen

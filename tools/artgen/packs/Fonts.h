// The fonts the artwork's lettering uses (DejaVu, which covers Cyrillic).
#pragma once

#include "painting/Font.h"

#include <string>

namespace artgen {

struct Fonts {
    Font sans;
    Font sansBold;
    Font condensedBold;
    Font serif;
    Font serifBold;
    Font serifItalic;

    // Loads them all; the reason at the first that cannot be loaded.
    Result<void> open();
};

}  // namespace artgen

// The one texture of the flower bunch and where each painted piece lies in
// it.
#pragma once

#include "Atlas.h"
#include "Image.h"

namespace artgen {

struct BouquetAtlas {
    static constexpr int size = 512;
    AtlasRegion leaf, grass, stem, daisyPetal, poppyPetal, bell, cornFloret, daisyDisc, calyx, poppyTop, yarrow,
        stamens, buttercup, cornCentre, bud, dew, ear, capsule;

    BouquetAtlas();
    // Paints every region.
    Image paint() const;
};

}  // namespace artgen

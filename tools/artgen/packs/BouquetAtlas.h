// The one texture of the flower bunch and where each painted piece lies in
// it.
#pragma once

#include "painting/Atlas.h"
#include "png/Image.h"

namespace artgen {

struct BouquetAtlas {
    static constexpr int size = 512;
    AtlasRegion leaf, grass, stem, daisyPetal, poppyPetal, bell, cornFloret, daisyDisc, calyx, poppyTop, yarrow,
        stamens, buttercup, cornCentre, bud, dew, ear, capsule;

    BouquetAtlas();
    // Paints every region.
    Image paint() const;

private:
    // Leaves, grass blades and stems.
    void paintFoliage(Canvas& c) const;
    // The petals: daisy, poppy, bellflower and cornflower florets.
    void paintPetals(Canvas& c) const;
    // The daisy's disc, the green calyx under flower heads and buds, the
    // poppy's seed-head top.
    void paintFlowerHearts(Canvas& c) const;
    // The yarrow's clusters of florets, dot by dot.
    void paintYarrow(Canvas& c) const;
    // The poppy's stamens, the buttercup's cup and the cornflower's middle.
    void paintCentres(Canvas& c) const;
    // Buds, dew drops, grass ears and seed capsules.
    void paintBudsAndSeeds(Canvas& c) const;
};

}  // namespace artgen

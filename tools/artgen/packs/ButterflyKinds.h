// The five butterfly species: each one's wing outlines, how its wings are
// painted, its body's colours and its wings' sheen.
#pragma once

#include "meshes/Model.h"
#include "packs/WingArt.h"
#include "painting/Colour.h"

#include <functional>
#include <vector>

namespace artgen {

struct ButterflyKind {
    std::vector<Vec2> foreControl, hindControl;
    std::function<void(WingArt&)> paint;
    Colour bodyDark, bodyLight, bodyHair;
    Colour antennaClub;
    Material wingMaterial;
    int bodyStripes;  // light rings on the abdomen
    bool thoraxDots;
};

// Species 1 to 5; any other number is species 5.
ButterflyKind butterflyKind(int number);

}  // namespace artgen

#include "packs/FlowerKinds.h"

namespace artgen::bouquet {

const std::vector<Share>& domeFlowers() {
    static const std::vector<Share> table = {{Kind::Daisy, 0.34, 1.5, 1.9},
                                             {Kind::Poppy, 0.24, 1.6, 2.0},
                                             {Kind::Cornflower, 0.24, 1.05, 1.25},
                                             {Kind::Yarrow, 0.18, 1.15, 1.35}};
    return table;
}

const std::vector<Share>& gapFillers() {
    static const std::vector<Share> table = {{Kind::Buttercup, 0.5, 0.7, 0.85},
                                             {Kind::PoppyBud, 0.25, 0.6, 0.75},
                                             {Kind::DaisyBud, 0.25, 0.55, 0.7}};
    return table;
}

}  // namespace artgen::bouquet

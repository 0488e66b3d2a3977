// The flowers of the bunch: the kinds that grow in it, and how often and
// how big each comes when heads are picked at random.
#pragma once

#include <vector>

namespace artgen::bouquet {

enum class Kind { Daisy, Poppy, Cornflower, Buttercup, Yarrow, PoppyBud, DaisyBud };

// One kind's chance of being picked (the weights of a table add up to 1)
// and its range of sizes, in model units.
struct Share {
    Kind kind;
    double weight, minSize, maxSize;
};

// The big and middle-sized flowers of the dome and of its lower storey.
const std::vector<Share>& domeFlowers();
// The small heads that go into the gaps between them.
const std::vector<Share>& gapFillers();

}  // namespace artgen::bouquet

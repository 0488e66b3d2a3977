// Where the scene shows the flower bunch and the butterflies: shared by the
// scene assembly, which places them, and the artwork generator, which draws
// the preview from it and cuts the models as finely as they show on screen
// (and no finer), leaving out of the bunch what no turn of it shows.
#pragma once

namespace scenePlacement {

// The frame's camera stands this far in front of the scene's origin.
constexpr double cameraDistance = 100;
// The group of flowers and butterflies: where it stands, and its tilt about
// x in degrees. It turns about its own z axis.
constexpr double groupX = 0;
constexpr double groupY = 0;
constexpr double groupZ = -10;
constexpr double groupTilt = -30;
// The flowers' scale within the group, and every butterfly's.
constexpr double flowerScale = 2;
constexpr double butterflyScale = 0.2;

}  // namespace scenePlacement

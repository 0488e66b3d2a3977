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

// The bunch comes cut for a few picture heights, each as finely as a
// picture that many pixels high shows it, finest first. A picture draws
// the coarsest cut made for at least its height, so that in its own pixels
// no picture strays further from the bunch's full shapes than a 1920x1080
// one does; taller pictures draw the finest.
struct FlowerCut {
    int lines;
    const char* entry;
};
constexpr FlowerCut flowerCuts[] = {{1080, "flowers"}, {768, "flowers-768"}, {480, "flowers-480"}};
constexpr int flowerCutCount = sizeof flowerCuts / sizeof flowerCuts[0];

// The index in flowerCuts of the cut for a picture `height` pixels high.
constexpr int flowerCutFor(int height) {
    int chosen = 0;
    for (int i = 1; i < flowerCutCount; ++i)
        if (flowerCuts[i].lines >= height) chosen = i;
    return chosen;
}

}  // namespace scenePlacement

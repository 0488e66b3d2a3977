#include "meshes/TurningView.h"

#include "content/ScenePlacement.h"

#include <algorithm>

namespace artgen {

namespace {

Affine group() {
    using namespace scenePlacement;
    return Affine::translation({0, 0, -cameraDistance}) * Affine::translation({groupX, groupY, groupZ}) *
           Affine::rotationX(groupTilt);
}

}  // namespace

Affine TurningView::eye(double degrees) {
    return group() * Affine::rotationZ(degrees) * Affine::scaling(scenePlacement::flowerScale);
}

double TurningView::nearestDepth(const Vec3& p) {
    double nearest = 1e300;
    for (int degrees = 0; degrees < 360; degrees += 5) nearest = std::min(nearest, -eye(degrees).point(p).z);
    return nearest;
}

}  // namespace artgen

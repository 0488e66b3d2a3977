#include "meshes/TurningView.h"

#include "content/ScenePlacement.h"

#include <algorithm>
#include <numeric>
#include <vector>

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

double TurningView::meanDepth(const Vec3& p) {
    // Depth is linear in the cosine and sine of the turn: four quarter
    // turns average them out exactly.
    double sum = 0;
    for (int degrees = 0; degrees < 360; degrees += 90) sum += -eye(degrees).point(p).z;
    return sum / 4;
}

void TurningView::sortNearestFirst(ModelPart& part) {
    const std::size_t count = part.vertices.size() / 3;
    std::vector<double> depth(count);
    for (std::size_t t = 0; t < count; ++t) {
        const Vertex* v = &part.vertices[3 * t];
        depth[t] = meanDepth((v[0].position + v[1].position + v[2].position) * (1.0 / 3));
    }
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return depth[a] < depth[b]; });
    std::vector<Vertex> sorted;
    sorted.reserve(part.vertices.size());
    for (std::size_t t : order) sorted.insert(sorted.end(), part.vertices.begin() + 3 * t, part.vertices.begin() + 3 * t + 3);
    part.vertices = std::move(sorted);
}

}  // namespace artgen

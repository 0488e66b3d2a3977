// How the scene shows the flower bunch: a fixed camera, and the bunch
// turning about its own z axis in the tilted group (content/ScenePlacement.h).
// Every view the running program gives of the bunch is one turn of this.
#pragma once

#include "geometry/Affine.h"
#include "geometry/Vec.h"
#include "meshes/Model.h"

namespace artgen {

struct TurningView {
    // Model to eye space with the bunch turned by `degrees`.
    static Affine eye(double degrees);
    // The least depth (distance along the view) a point of the model comes to
    // over a turn: where it shows largest.
    static double nearestDepth(const Vec3& modelPoint);
    // Its depth on the whole: the mean over a turn.
    static double meanDepth(const Vec3& modelPoint);
    // Puts the part's triangles nearest on the whole first (a stable
    // order), so that the depth test turns away more of what is drawn
    // behind them before it is shaded.
    static void sortNearestFirst(ModelPart& part);
};

}  // namespace artgen

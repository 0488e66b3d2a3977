// The triangles of the flower bunch that no view of it shows. The camera
// and the tilt are fixed and the bunch only turns about its own axis
// (TurningView), so whatever stays behind other parts at every turn (stem
// feet under the leaves, sepals under the heads, drops under the petals)
// can go without a pixel of the picture changing.
#pragma once

#include "meshes/Model.h"
#include "png/Image.h"

#include <map>
#include <string>
#include <vector>

namespace artgen {

// Removes every triangle that no turn shows at 1920x1080: hidden at every
// turn behind opaque parts, or behind the fully opaque texels of
// alpha-tested ones (their soft edges and transparent parts hide nothing).
// Judged generously: a triangle that comes within a pixel or a hair's depth
// of showing stays. Returns how many triangles went.
int removeHiddenTriangles(Model& model, const std::map<std::string, Image>& images);

// Whether some turn shows each triangle, judged as above: part by part, in
// the order of the parts' vertices.
std::vector<bool> shownTriangles(const Model& model, const std::map<std::string, Image>& images);

}  // namespace artgen

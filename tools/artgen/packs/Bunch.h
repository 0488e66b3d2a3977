// The flower bunch as it is built: one model of five parts (petals, glossy
// petals, foliage, solid parts, dew) from the bouquet's one texture, and
// the random generator whose order of draws makes the bunch what it is.
// The heads are built in BouquetFlowers.cpp, the rest in Bouquet.cpp.
#pragma once

#include "geometry/Affine.h"
#include "geometry/Rng.h"
#include "geometry/Vec.h"
#include "meshes/Detail.h"
#include "meshes/Model.h"
#include "packs/BouquetAtlas.h"
#include "packs/FlowerKinds.h"

#include <cmath>
#include <utility>
#include <vector>

namespace artgen::bouquet {

struct Head {
    Kind kind;
    Vec3 position;  // where the stem meets the head
    Vec3 facing;
    double size;
};

class Bunch {
public:
    Bunch();
    Model take() { return std::move(model); }
    void build();

private:
    ModelPart& petals() { return model.parts[0]; }
    ModelPart& glossy() { return model.parts[1]; }
    ModelPart& foliage() { return model.parts[2]; }
    ModelPart& solid() { return model.parts[3]; }
    ModelPart& dew() { return model.parts[4]; }

    // As finely as a part near `where` needs to be cut.
    Detail detailAt(const Vec3& where) const;
    std::vector<Head> layout();
    void daisy(const Affine& frame, double R);
    void poppy(const Affine& frame, double R);
    void cornflower(const Affine& frame, double R);
    void buttercup(const Affine& frame, double R);
    void yarrow(const Affine& frame, double R);
    void bells(const Vec3& start, const Vec3& direction, double R);
    void bud(const Affine& frame, double R, bool poppyBud);
    void stem(const Vec3& top, const Vec3& facing, double radius);
    void leaf(double angle, double r0, double z0, double length, double width, double elevation, double droop);
    void grassBlade(double angle, double height, double reach, double width);
    void seedHead(double angle, double radius, double height);
    void dewDrops();

    Model model;
    BouquetAtlas atlas;
    Rng rng{0xB0C0E7};
    std::vector<std::pair<Vec3, Vec3>> dewSpots;  // point and normal on leaves and petals
};

inline Vec3 polarPoint(double radius, double angle, double z) {
    return {radius * std::cos(angle), radius * std::sin(angle), z};
}

}  // namespace artgen::bouquet

// The flower bunch as it is built: one model of six parts (petals, glossy
// petals, foliage, open solid parts, dew, closed solid parts: stems,
// stalks and round things, whose back faces never show) from the bouquet's
// one texture, and
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

// A stem as the bunch plans it: from its foot under the leaves straight up
// to where it ties in, then along a curve to its head.
struct StemPlan {
    Vec3 foot;
    CurveFunction rise;  // t = 0 at the tie, 1 at the head
    double radius;
    Detail detail;
};

class Bunch {
public:
    // Cut as finely as a picture `lines` pixels high shows it.
    explicit Bunch(int lines = 1080);
    Model take() { return std::move(model); }
    const Model& current() const { return model; }
    // The part that closed shapes (and so the stems) go into.
    static constexpr std::size_t closedPart = 5;
    // Everything but the stems, which are planned.
    void build();
    const std::vector<StemPlan>& stems() const { return stemPlans; }
    // The stems, each from `from` along it (see stemSpine); one value per stem.
    void addStems(const std::vector<double>& from);

private:
    ModelPart& petals() { return model.parts[0]; }
    ModelPart& glossy() { return model.parts[1]; }
    ModelPart& foliage() { return model.parts[2]; }
    ModelPart& solid() { return model.parts[3]; }
    ModelPart& dew() { return model.parts[4]; }
    ModelPart& closed() { return model.parts[closedPart]; }

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
    double lines;
    Rng rng{0xB0C0E7};
    std::vector<std::pair<Vec3, Vec3>> dewSpots;  // point and normal on leaves and petals
    std::vector<StemPlan> stemPlans;
};

// Where a stem runs: `from` -1 is its foot, 0 the tie, 1 the head (the foot
// to the tie is the first unit); the points from there to the head, as
// finely as its detail needs, or in `pieces` equal steps when given.
std::vector<Vec3> stemSpine(const StemPlan& stem, double from, int pieces = 0);

// The bouquet's stems cut into this many equal pieces, to find the lowest
// one any turn shows.
constexpr int stemProbePieces = 32;
// The parameter (as stemSpine takes it) where probe piece k starts.
inline double stemProbeStart(int k) { return -1 + 2.0 * k / stemProbePieces; }

inline Vec3 polarPoint(double radius, double angle, double z) {
    return {radius * std::cos(angle), radius * std::sin(angle), z};
}

}  // namespace artgen::bouquet

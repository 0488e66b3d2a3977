// preview.ppk: the scene as the screensaver opens it, drawn in software
// from the packs' own models: the meadow, the turning bunch, the resting
// butterfly and one in flight.
#include "content/ScenePlacement.h"
#include "meshes/SoftRenderer.h"
#include "packs/Artwork.h"

#include <cmath>

namespace artgen {

namespace {

// A butterfly as the builder makes it: body and two wings, scale 0.2,
// wings at 25 and 145 degrees plus the beat.
void drawButterfly(SoftRenderer& r, const PackContents& pack, const Affine& carrier, double beatDegrees) {
    const Affine scale = Affine::scaling(scenePlacement::butterflyScale);
    r.draw(pack.models.at("brushko"), pack.images, carrier * scale, true);
    r.draw(pack.models.at("krilo"), pack.images, carrier * Affine::rotationX(25 + beatDegrees) * scale, true);
    r.draw(pack.models.at("krilo"), pack.images, carrier * Affine::rotationX(145 - beatDegrees) * scale, true);
}

}  // namespace

Image renderPreview(const PackContents& mainPack, const PackContents& resting, const PackContents& flying, int width,
                    int height) {
    const int ss = 4;
    SoftRenderer r(width * ss, height * ss);
    const Affine camera = Affine::translation({0, 0, -scenePlacement::cameraDistance});
    // The light carrier stands at (0, 12, 45) of the scene.
    r.setLight(camera.point({0, 12, 45}));
    const Affine background = camera * Affine::translation({0, 0, -100}) * Affine::rotationY(180) *
                              Affine::rotationZ(180) * Affine::scaling(4, 3, 3);
    r.draw(mainPack.models.at("fon"), mainPack.images, background, false);
    const Affine group = camera *
                         Affine::translation({scenePlacement::groupX, scenePlacement::groupY, scenePlacement::groupZ}) *
                         Affine::rotationX(scenePlacement::groupTilt) * Affine::rotationZ(40);
    r.draw(mainPack.models.at("flowers"), mainPack.images, group * Affine::scaling(scenePlacement::flowerScale), true);
    const Affine rest = group * Affine::translation({0, -7, 21.5}) * Affine::rotationX(45) * Affine::rotationZ(90);
    drawButterfly(r, resting, rest, 20);
    // Carrier B on the orbit, turned to the right of the bunch.
    const Affine orbit = group * Affine::rotationZ(305);
    const Affine flyer = orbit * Affine::translation({32, 0, 31}) * Affine::rotationZ(90);
    drawButterfly(r, flying, flyer, -10);
    r.flush();
    return r.picture(ss);
}

}  // namespace artgen

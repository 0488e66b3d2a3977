#include "app/SceneAssembly.h"

#include "content/Butterflies.h"
#include "content/FlowerCut.h"
#include "content/Lighting.h"
#include "content/ScenePlacement.h"
#include "scene/MotionFunctions.h"
#include "scene/SceneNode.h"

#include <cstdio>

namespace {

Motion butterflyBuilder(int selector, double wingSpeedOffset, const std::vector<const char*>& packs) {
    Motion m = oneShotMotion(buildButterfly, selector, wingSpeedOffset, scenePlacement::butterflyScale, 0);
    m.setFunction(buildButterfly, reinterpret_cast<MotionArgument>(pickRandomPack(packs)));
    return m;
}

// How a flying butterfly's carrier sways: up and down (amplitude in units,
// rate in radians a second), a roll about z (degrees, at 2 radians a
// second), and two swings in depth, one of its own amplitude and one 5
// units wide.
struct FlyerSway {
    double riseAmplitude, riseRate, rollDegrees, depthAmplitude, depthRate, wideDepthRate;
};

SceneNode* flyingCarrier(double x, double y, double z, double rz, const FlyerSway& s,
                         const std::vector<const char*>& packs) {
    SceneNode* carrier = new SceneNode;
    carrier->setPosition(x, y, z);
    carrier->setRotation(0, 0, rz);
    carrier->script.startNewStep({butterflyBuilder(1, -1.0, packs), endlessMotion(swayTranslate, 1, s.riseAmplitude, s.riseRate, 0),
                                  endlessMotion(swayRotate, 2, s.rollDegrees, 2.0, 0),
                                  endlessMotion(swayTranslate, 2, s.depthAmplitude, s.depthRate, 0),
                                  endlessMotion(swayTranslate, 2, 5.0, s.wideDepthRate, 0)});
    return carrier;
}

}  // namespace

SceneNode* buildBackground() {
    SceneNode* background = new SceneNode;
    background->loadModel("main.pak", "fon");
    background->setScale(4, 3, 3);
    background->setPosition(0, 0, -100);
    background->setRotation(0, 180, 180);
    return background;
}

void buildScene(SceneNode* root, std::vector<const char*>& packs) {
    SceneNode* light = new SceneNode;
    light->setPosition(0, 12, 45);
    light->script.startNewStep({endlessMotion(placeLight, 1)});
    root->addChild(light);

    packs = butterflyPacks();

    root->addChild(buildBackground());

    SceneNode* group = new SceneNode;
    group->setPosition(scenePlacement::groupX, scenePlacement::groupY, scenePlacement::groupZ);
    group->setRotation(scenePlacement::groupTilt, 0, 0);
    const double startAngle = randomBelow(3600) / 10;  // whole degrees
    group->script.startNewStep({endlessMotion(spin, 2, 7.0, startAngle, 0)});
    group->addCallback(lightingSwitch, 0);
    root->addChild(group);

    // Cut as finely as the picture's height needs, from its first frame on
    // (main.pak is open: the background came from it).
    SceneNode* flowers = new SceneNode;
    const int height = viewportHeight();
    flowers->loadModel("main.pak", flowerCutEntry("main.pak", height).c_str());
    flowers->script.startNewStep({endlessMotion(fitFlowerCut, 0, height)});
    flowers->setScale(scenePlacement::flowerScale, scenePlacement::flowerScale, scenePlacement::flowerScale);
    group->addChild(flowers);

    SceneNode* resting = new SceneNode;
    resting->setPosition(0, -7, 21.5);
    resting->setRotation(45, 0, 90);
    resting->script.startNewStep({butterflyBuilder(0, -5.0, packs)});
    group->addChild(resting);

    SceneNode* orbit = new SceneNode;
    orbit->script.startNewStep({endlessMotion(spin, 2, 30.0)});
    group->addChild(orbit);

    // Each carrier's pack is drawn after its position; for C and D the
    // coordinates are drawn z, y, x.
    {
        const double x = 30 + randomBelow(500) / 100;
        orbit->addChild(flyingCarrier(x, 0, 30, 90, FlyerSway{2.0, 3.0, 6.0, 1.0, 4.0, 3.0}, packs));
    }
    {
        const double z = 35 + randomBelow(30) / 10;
        const double y = 19 + randomBelow(20) / 10;
        const double x = -19 - randomBelow(30) / 10;
        orbit->addChild(flyingCarrier(x, y, z, -110, FlyerSway{2.0, 4.0, 8.0, 3.0, 4.0, 4.0}, packs));
    }
    {
        const double z = 30 + randomBelow(70) / 10;
        const double y = -15 - randomBelow(100) / 10;
        const double x = -15 - randomBelow(100) / 10;
        orbit->addChild(flyingCarrier(x, y, z, -40, FlyerSway{2.0, 4.0, 6.0, 1.0, 5.0, 4.0}, packs));
    }
}

std::string describeTurns(const SceneNode& root) {
    // The tree as buildScene makes it: light, background, flower group; in
    // the group, flowers, the resting butterfly, the orbit.
    if (root.children.size() < 3 || root.children[2]->children.size() < 3) return std::string();
    const SceneNode& group = *root.children[2];
    char text[64];
    std::snprintf(text, sizeof text, "turn=%.3f,%.3f", group.track.offset.rotation.z,
                  group.children[2]->track.offset.rotation.z);
    return text;
}

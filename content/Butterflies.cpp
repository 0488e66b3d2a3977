#include "content/Butterflies.h"

#include "scene/MotionFunctions.h"
#include "scene/SceneNode.h"

#include <cstdlib>

int randomBelow(int n) { return std::rand() % n; }

std::vector<const char*> butterflyPacks() {
    return {"butterfly1.pak", "butterfly2.pak", "butterfly3.pak", "butterfly4.pak", "butterfly5.pak"};
}

const char* pickRandomPack(const std::vector<const char*>& packs) {
    const unsigned index = static_cast<unsigned>(std::rand()) % static_cast<unsigned>(packs.size());
    return packs[index];
}

namespace {

SceneNode* makeWing(const char* pack, double angle, double scale, double speed, double phase) {
    SceneNode* wing = new SceneNode;
    wing->loadModel(pack, "krilo");
    wing->setRotation(0, 0, 0);
    wing->setScale(scale, scale, scale);
    wing->setRotation(angle, 0, 0);
    wing->script.startNewStep({endlessMotion(swayRotate, 0, 50.0, speed, phase)});
    return wing;
}

}  // namespace

void buildButterfly(MotionArgument argument) {
    const char* pack = reinterpret_cast<const char*>(argument);
    const Motion& builder = *currentMotion;
    const double scale = builder.valueB;
    const double speed = builder.valueA + 14.0;  // rad/s
    const bool bob = builder.selector != 0;
    SceneNode* carrier = currentNode;

    SceneNode* body = new SceneNode;
    body->loadModel(pack, "brushko");
    body->setScale(scale, scale, scale);
    carrier->addChild(body);

    if (bob) body->script.startNewStep({endlessMotion(swayTranslate, 2, 20.0 * scale, speed, 28.6478897565412)});

    // One phase per butterfly; the second wing beats half a period behind.
    const double phase = randomBelow(300) * 6.28318530717956 / 300.0;
    body->addChild(makeWing(pack, 25.0, scale, speed, phase));
    body->addChild(makeWing(pack, 145.0, scale, speed, phase + 3.14159265358978));
}

#include "content/FrameCounter.h"

#include "scene/MotionFunctions.h"
#include "scene/SceneNode.h"

#include <cstdint>

std::int32_t frameCount = 0;

namespace {

const char* const digitNames[10] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};

// Units, tens and hundreds of the average: where each sits beside the label
// and the frame count above which it is shown.
struct CounterPlace {
    double x;
    std::int32_t shownAbove;
    std::int32_t divisor;  // frames per unit of this place
};
const CounterPlace places[3] = {{3.3, -1, 5}, {1.9, 49, 50}, {0.5, 499, 500}};

}  // namespace

void updateFrameCounter(MotionArgument) {
    // Saturates rather than overflows should the ticks ever stand still for good.
    if (frameCount < INT32_MAX) ++frameCount;
    Motion& motion = *currentMotion;
    if (motion.time <= 0) return;
    motion.time -= frameCounterPeriod;

    SceneNode* counter = currentNode;
    for (const CounterPlace& place : places) {
        if (frameCount <= place.shownAbove) continue;
        SceneNode* digit = new SceneNode;
        digit->setPosition(place.x, 0, 0);
        digit->addCallback(noDepthTest, 0);
        digit->loadModel("utils.pak", digitNames[(frameCount / place.divisor) % 10]);
        Motion expiry(1, true, 0);
        expiry.setFunction(expire, frameCounterPeriod, 0.0, 0.0);
        digit->script.addStep();
        digit->script.addMotion(expiry);
        digit->script.startStep(0);
        counter->addChild(digit);
    }
    frameCount = 0;
}

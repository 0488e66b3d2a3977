#include "content/FrameCounter.h"

#include "content/OverlayLayout.h"
#include "scene/MotionFunctions.h"
#include "scene/SceneNode.h"

#include <cstdint>
#include <vector>

using namespace overlayLayout;

namespace {

// Units, tens and hundreds of the average: where each sits beside the label
// and the frame count above which it is shown. A digit's expiry motion
// carries its place's index as its selector, which starts a new set at 0.
struct CounterPlace {
    double x;
    std::int32_t shownAbove;
    std::int32_t divisor;  // frames per unit of this place
};
const CounterPlace places[3] = {{counterUnitsX, -1, 5}, {counterTensX, 49, 50}, {counterHundredsX, 499, 500}};

}  // namespace

void updateFrameCounter(MotionArgument) {
    // Saturates rather than overflows should the ticks ever stand still for good.
    if (frameCount < INT32_MAX) ++frameCount;
    Motion& motion = *currentMotion;
    if (motion.time <= 0) return;
    motion.time -= frameCounterPeriod;

    SceneNode* counter = currentNode;
    for (std::int32_t i = 0; i < 3; ++i) {
        const CounterPlace& place = places[i];
        if (frameCount <= place.shownAbove) continue;
        SceneNode* digit = new SceneNode;
        digit->setPosition(place.x, 0, 0);
        digit->addCallback(noDepthTest, 0);
        digit->loadModel("utils.pak", digitEntryNames[(frameCount / place.divisor) % 10]);
        digit->script.startNewStep({endlessMotion(expire, i, frameCounterPeriod)});
        counter->addChild(digit);
    }
    frameCount = 0;
}

std::string describeCounter(const SceneNode& counter) {
    // The newest set ends the list and starts with its units digit.
    std::vector<const SceneNode*> set;
    for (std::size_t i = counter.children.size(); i-- > 0;) {
        const SceneNode* digit = counter.children[i];
        set.push_back(digit);
        if (digit->track.motions.empty() || digit->track.motions[0].selector == 0) break;
    }
    std::string out = "fps=";
    for (std::size_t i = 0; i < set.size(); ++i) {  // hundreds, tens, units
        if (i > 0) out += ',';
        out += modelEntryName(*set[i]);
    }
    return set.empty() ? out + "-" : out;
}

#include "scene/MotionScript.h"

#include "scene/MotionTrack.h"

std::int32_t MotionScript::addStep() {
    steps.emplace_back();
    currentStep = static_cast<std::int32_t>(steps.size()) - 1;
    return currentStep;
}

void MotionScript::addMotion(const Motion& motion) {
    // Adding before any addStep is a caller error; keep it harmless.
    if (currentStep < 0 || static_cast<std::size_t>(currentStep) >= steps.size()) addStep();
    steps[static_cast<std::size_t>(currentStep)].push_back(motion);
}

void MotionScript::startStep(std::int32_t index) {
    if (!track || index < 0 || static_cast<std::size_t>(index) >= steps.size()) return;
    for (const Motion& m : steps[static_cast<std::size_t>(index)]) track->append(m);
}

std::int32_t MotionScript::startNewStep(std::initializer_list<Motion> motions) {
    const std::int32_t index = addStep();
    for (const Motion& m : motions) addMotion(m);
    startStep(index);
    return index;
}

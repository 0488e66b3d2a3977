// Numbered steps of prepared motions, started into a node's track.
#pragma once

#include "scene/Motion.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

struct MotionTrack;

struct MotionScript {
    std::int32_t currentStep = -1;
    std::vector<std::vector<Motion>> steps;
    MotionTrack* track = nullptr;

    // Appends an empty step, makes it current, returns its index.
    std::int32_t addStep();
    // Appends a copy to the current step; it does not run yet.
    void addMotion(const Motion& motion);
    // Copies each motion of the step into the track; the step keeps them.
    void startStep(std::int32_t index);
    // addStep, addMotion of each, startStep of that step: how the builders
    // give a node its motions. Returns the step's index.
    std::int32_t startNewStep(std::initializer_list<Motion> motions);
};

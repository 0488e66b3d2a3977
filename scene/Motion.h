// A time-driven behaviour: a motion function, its parameters and its clocks.
#pragma once

#include <cstdint>

struct Transform;

// The argument of a motion function or callback: an integer or a pointer.
using MotionArgument = std::intptr_t;
using MotionFunction = void (*)(MotionArgument);

struct Motion {
    Transform* target = nullptr;  // the offset of the track it runs in
    double time = 0;              // ms accumulated while active
    std::int32_t selector = 0;
    std::int32_t selector2 = 0;
    double valueA = 0, valueB = 0, valueC = 0;
    MotionFunction function = nullptr;
    MotionArgument argument = 0;
    std::int32_t id = 0;
    std::uint8_t active = 0;
    std::uint8_t endless = 0;
    std::uint8_t finished = 0;
    double duration = 0;  // ms; not consulted when endless
    double elapsed = 0;   // ms accumulated while active

    Motion() = default;
    // Duration exactly 0 makes the motion endless; -1 runs it once.
    Motion(std::int32_t id, bool active, double duration);

    void setFunction(MotionFunction f, MotionArgument arg);
    void setFunction(MotionFunction f, double a, double b, double c);
    void setFunction(MotionFunction f, std::int32_t sel, double a, double b, double c);
    void setFunction(MotionFunction f, std::int32_t sel, std::int32_t sel2, double a, double b, double c);
    void stop() { finished = 1; }
    void advance(std::uint32_t dt);
};

// The two kinds every builder makes: active (id 1) and running for good, or
// once (duration -1), with the function and its parameters.
Motion endlessMotion(MotionFunction function, std::int32_t selector = 0, double a = 0, double b = 0, double c = 0);
Motion oneShotMotion(MotionFunction function, std::int32_t selector = 0, double a = 0, double b = 0, double c = 0);

// The motion whose function is running; read by the motion functions.
extern Motion* currentMotion;

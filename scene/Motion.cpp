#include "scene/Motion.h"

Motion endlessMotion(MotionFunction function, std::int32_t selector, double a, double b, double c) {
    Motion m(1, true, 0);
    m.setFunction(function, selector, a, b, c);
    return m;
}

Motion oneShotMotion(MotionFunction function, std::int32_t selector, double a, double b, double c) {
    Motion m(1, true, -1);
    m.setFunction(function, selector, a, b, c);
    return m;
}

Motion::Motion(std::int32_t id_, bool active_, double duration_) : id(id_), active(active_ ? 1 : 0) {
    if (duration_ == 0.0) {
        endless = 1;
    } else {
        duration = duration_;
    }
}

void Motion::setFunction(MotionFunction f, MotionArgument arg) {
    function = f;
    argument = arg;
}

void Motion::setFunction(MotionFunction f, double a, double b, double c) {
    function = f;
    valueA = a;
    valueB = b;
    valueC = c;
    argument = 0;
}

void Motion::setFunction(MotionFunction f, std::int32_t sel, double a, double b, double c) {
    setFunction(f, a, b, c);
    selector = sel;
}

void Motion::setFunction(MotionFunction f, std::int32_t sel, std::int32_t sel2, double a, double b, double c) {
    setFunction(f, sel, a, b, c);
    selector2 = sel2;
}

void Motion::advance(std::uint32_t dt) {
    if (!active) return;
    elapsed += static_cast<double>(dt);
    if (!endless && !(duration > elapsed)) finished = 1;
    time += static_cast<double>(dt);
    currentMotion = this;
    if (function) function(argument);
}

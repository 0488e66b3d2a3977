#include "scene/MotionFunctions.h"

#include "scene/SceneNode.h"
#include "scene/WallClock.h"

#include <GL/gl.h>

#include <cmath>

namespace {

double swayValue(const Motion& m) { return std::sin(m.time * m.valueB / 1000.0 + m.valueC) * m.valueA; }

// The value on the selected axis, zero on the others; false for no axis.
bool axisVector(std::int32_t selector, double v, double out[3]) {
    if (selector < 0 || selector > 2) return false;
    out[0] = out[1] = out[2] = 0.0;
    out[selector] = v;
    return true;
}

}  // namespace

void swayTranslate(MotionArgument) {
    Motion& m = *currentMotion;
    double d[3];
    if (axisVector(m.selector, swayValue(m), d)) m.target->translateBy(d[0], d[1], d[2]);
}

void swayRotate(MotionArgument) {
    Motion& m = *currentMotion;
    double d[3];
    if (axisVector(m.selector, swayValue(m), d)) m.target->rotateBy(d[0], d[1], d[2]);
}

void spin(MotionArgument) {
    Motion& m = *currentMotion;
    // Within one turn: OpenGL takes the angle as a float, which past a few
    // million degrees (a week of turning) can no longer hold a frame's step.
    const double angle = std::fmod(m.time * m.valueA / 1000.0 + m.valueB, 360.0);
    double d[3];
    if (axisVector(m.selector, angle, d)) m.target->rotateBy(d[0], d[1], d[2]);
}

void placeLight(MotionArgument) {
    const Motion& m = *currentMotion;
    if (m.selector < 1 || m.selector > 5) return;
    const GLfloat origin[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glLightfv(static_cast<GLenum>(GL_LIGHT0 + m.selector), GL_POSITION, origin);
}

void expire(MotionArgument) {
    if (currentMotion->time > currentMotion->valueA) currentNode->requestRemoval();
}

void clockHand(MotionArgument) {
    Motion& m = *currentMotion;
    const std::tm local = wallClockNow();
    double angle;
    switch (m.selector) {
        case 1: angle = -6.0 * local.tm_sec; break;
        case 2: angle = -6.0 * local.tm_min; break;
        case 3: angle = static_cast<double>(-30 * local.tm_hour - local.tm_min / 2); break;
        default: return;
    }
    m.target->setRotation(0, 0, angle);
}

void scaleChildren(std::int32_t phase, MotionArgument transform) {
    if (phase == BeforeChild) {
        glPushMatrix();
        reinterpret_cast<const Transform*>(transform)->applyScale();
    } else if (phase == AfterChild) {
        glPopMatrix();
    }
}

void noDepthTest(std::int32_t phase, MotionArgument) {
    switch (phase) {
        case BeforeModel:
        case BeforeChild: glDisable(GL_DEPTH_TEST); break;
        case AfterModel:
        case AfterChild: glEnable(GL_DEPTH_TEST); break;
        default: break;
    }
}

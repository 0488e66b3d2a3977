#include "scene/Transform.h"

#include <GL/gl.h>

void Transform::reset() {
    position = Vec3{};
    rotation = Vec3{};
    scale = Vec3{1, 1, 1};
}

void Transform::setPosition(double x, double y, double z) { position = Vec3{x, y, z}; }

void Transform::translateBy(double dx, double dy, double dz) {
    position.x += dx;
    position.y += dy;
    position.z += dz;
}

void Transform::setRotation(double ax, double ay, double az) { rotation = Vec3{ax, ay, az}; }

void Transform::rotateBy(double dax, double day, double daz) {
    rotation.x += dax;
    rotation.y += day;
    rotation.z += daz;
}

void Transform::setScale(double sx, double sy, double sz) {
    scale = Vec3{sx, sy, sz};
    scaleSet = 1;
}

void Transform::applyScale() const { glScaled(scale.x, scale.y, scale.z); }

void Transform::apply() const {
    // Comparisons with 0.0 are true for negative zero as well.
    if (position.x != 0.0 || position.y != 0.0 || position.z != 0.0)
        glTranslatef(static_cast<float>(position.x), static_cast<float>(position.y), static_cast<float>(position.z));
    if (rotation.x != 0.0) glRotatef(static_cast<float>(rotation.x), 1, 0, 0);
    if (rotation.y != 0.0) glRotatef(static_cast<float>(rotation.y), 0, 1, 0);
    if (rotation.z != 0.0) glRotatef(static_cast<float>(rotation.z), 0, 0, 1);
}

// The placement record of a node, and the per-frame offset of its track.
#pragma once

#include <cstdint>

struct Vec3 {
    double x = 0, y = 0, z = 0;
};

struct Transform {
    std::uint8_t scaleSet = 0;  // set once setScale was called
    Vec3 position;              // scene units
    Vec3 rotation;              // degrees about x, y and z
    Vec3 scale{1, 1, 1};

    // Position and rotation to zero, scale to one; scaleSet untouched.
    void reset();
    void setPosition(double x, double y, double z);
    void translateBy(double dx, double dy, double dz);
    void setRotation(double ax, double ay, double az);
    void rotateBy(double dax, double day, double daz);
    void setScale(double sx, double sy, double sz);
    // glScaled of the three factors.
    void applyScale() const;
    // Translation (only when non-zero), then rotations about x, y, z (each
    // only when non-zero). The scale is never part of it.
    void apply() const;
};

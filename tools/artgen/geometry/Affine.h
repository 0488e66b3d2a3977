// Affine transforms of model space: a 3x3 linear part and a translation.
#pragma once

#include "geometry/Vec.h"

namespace artgen {

struct Affine {
    double m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    Vec3 t;

    static Affine identity() { return Affine(); }
    static Affine translation(const Vec3& v) {
        Affine a;
        a.t = v;
        return a;
    }
    static Affine scaling(double sx, double sy, double sz) {
        Affine a;
        a.m[0][0] = sx;
        a.m[1][1] = sy;
        a.m[2][2] = sz;
        return a;
    }
    static Affine scaling(double s) { return scaling(s, s, s); }
    // Right-handed rotations by degrees, as glRotate turns.
    static Affine rotationX(double degrees) {
        const double c = std::cos(radians(degrees)), s = std::sin(radians(degrees));
        Affine a;
        a.m[1][1] = c;
        a.m[1][2] = -s;
        a.m[2][1] = s;
        a.m[2][2] = c;
        return a;
    }
    static Affine rotationY(double degrees) {
        const double c = std::cos(radians(degrees)), s = std::sin(radians(degrees));
        Affine a;
        a.m[0][0] = c;
        a.m[0][2] = s;
        a.m[2][0] = -s;
        a.m[2][2] = c;
        return a;
    }
    static Affine rotationZ(double degrees) {
        const double c = std::cos(radians(degrees)), s = std::sin(radians(degrees));
        Affine a;
        a.m[0][0] = c;
        a.m[0][1] = -s;
        a.m[1][0] = s;
        a.m[1][1] = c;
        return a;
    }
    // The rotation that takes +z to `dir` (unit), turning the least.
    static Affine aligningZ(const Vec3& dir) {
        const Vec3 z = dir.normalized();
        const Vec3 axis = cross(Vec3{0, 0, 1}, z);
        const double s = axis.length(), c = z.z;
        if (s < 1e-12) return c > 0 ? Affine() : scaling(1, -1, -1);
        const Vec3 k = axis / s;
        // Rodrigues' formula.
        Affine a;
        const double v = 1 - c;
        a.m[0][0] = c + k.x * k.x * v;
        a.m[0][1] = k.x * k.y * v - k.z * s;
        a.m[0][2] = k.x * k.z * v + k.y * s;
        a.m[1][0] = k.y * k.x * v + k.z * s;
        a.m[1][1] = c + k.y * k.y * v;
        a.m[1][2] = k.y * k.z * v - k.x * s;
        a.m[2][0] = k.z * k.x * v - k.y * s;
        a.m[2][1] = k.z * k.y * v + k.x * s;
        a.m[2][2] = c + k.z * k.z * v;
        return a;
    }

    Vec3 linear(const Vec3& v) const {
        return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z, m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
                m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
    }
    Vec3 point(const Vec3& v) const { return linear(v) + t; }
    // Normals go through the inverse transpose of the linear part.
    Vec3 normal(const Vec3& n) const {
        double c[3][3];
        c[0][0] = m[1][1] * m[2][2] - m[1][2] * m[2][1];
        c[0][1] = m[1][2] * m[2][0] - m[1][0] * m[2][2];
        c[0][2] = m[1][0] * m[2][1] - m[1][1] * m[2][0];
        c[1][0] = m[0][2] * m[2][1] - m[0][1] * m[2][2];
        c[1][1] = m[0][0] * m[2][2] - m[0][2] * m[2][0];
        c[1][2] = m[0][1] * m[2][0] - m[0][0] * m[2][1];
        c[2][0] = m[0][1] * m[1][2] - m[0][2] * m[1][1];
        c[2][1] = m[0][2] * m[1][0] - m[0][0] * m[1][2];
        c[2][2] = m[0][0] * m[1][1] - m[0][1] * m[1][0];
        // The cofactor matrix is the inverse transpose times the determinant;
        // its sign matters for mirrored transforms.
        const double det = m[0][0] * c[0][0] + m[0][1] * c[0][1] + m[0][2] * c[0][2];
        const Vec3 r{c[0][0] * n.x + c[0][1] * n.y + c[0][2] * n.z, c[1][0] * n.x + c[1][1] * n.y + c[1][2] * n.z,
                     c[2][0] * n.x + c[2][1] * n.y + c[2][2] * n.z};
        return (det < 0 ? -r : r).normalized();
    }
    // this after other: (a * b).point(v) == a.point(b.point(v)).
    Affine operator*(const Affine& b) const {
        Affine r;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) r.m[i][j] = m[i][0] * b.m[0][j] + m[i][1] * b.m[1][j] + m[i][2] * b.m[2][j];
        r.t = point(b.t);
        return r;
    }
};

}  // namespace artgen

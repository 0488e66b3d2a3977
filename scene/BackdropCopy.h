// A backdrop drawn once and then put back each frame from a copy of what it
// left on the screen. The backdrop is static and covers the whole picture, so
// its filtered texels give the same pixels every frame: the copy, drawn one
// texel per pixel without filtering, shows them bit for bit at a fraction of
// the shading, and the pictures behind it need not stay in memory.
//
// Drawn, not put back by a framebuffer blit: a software renderer copies
// memory for a blit only where the texture's layout is exactly the
// window's, and Mesa 25 gives no texture the window's B8G8R8X8 (unsized
// RGBA from BGRA data is B8G8R8A8, RGB is R8G8B8X8), so there a blit
// shades as much as this quad. Nor can the quad itself take llvmpipe's
// tile-copy path: that needs a window without a depth buffer.
#pragma once

#include <GL/gl.h>

#include <vector>

struct MeshPart;

class BackdropCopy {
public:
    BackdropCopy() = default;
    ~BackdropCopy();
    BackdropCopy(const BackdropCopy&) = delete;
    BackdropCopy& operator=(const BackdropCopy&) = delete;

    // Whether these parts can stand for each other as one copy: every one
    // is an opaque backdrop with a picture that does not change over time.
    static bool suits(const std::vector<MeshPart*>& parts, std::size_t count);

    // Draws the parts: from the copy while the viewport, projection and the
    // parts' placement are those it was taken at; otherwise the parts
    // themselves (their textures taken back if the copy had let them go),
    // and then a new copy where the renderer can hold one, no larger than
    // the textures it replaces. Those are given back once the copy exists.
    void draw(const std::vector<MeshPart*>& parts, std::size_t count);

    // The copy's texture, 0 while the parts draw themselves; and the vertex
    // array its draw uses, by which the benchmark tells that draw apart.
    GLuint texture() const { return copy; }
    static const void* quadPositions();

private:
    struct Placement {
        GLint viewport[4] = {};
        GLdouble projection[16] = {};
        GLdouble modelView[16] = {};
        bool operator==(const Placement& other) const;
    };

    void drawCopy() const;
    void takeCopy(const std::vector<MeshPart*>& parts, std::size_t count);

    GLuint copy = 0;
    Placement copied;      // where the copy (or the failed attempt) was made
    bool attempted = false;
};

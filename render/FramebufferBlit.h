// A copy of an area of the window's colour buffer kept in a texture and put
// back by framebuffer blits (OpenGL 3.0, or the framebuffer object and blit
// extensions), where the context offers them and the window has no sample
// buffers (a multisampled buffer cannot take a blit from a plain one).
//
// Both blits turn the rows over, so what comes back is what was taken. A
// renderer that keeps its window's rows in the opposite order to a
// texture's, as Mesa's software rasterisers do, then copies memory where
// a textured quad would shade every pixel: about a tenth of the time.
#pragma once

#include <GL/gl.h>

class FramebufferBlit {
public:
    FramebufferBlit() = default;
    ~FramebufferBlit() { release(); }
    FramebufferBlit(const FramebufferBlit&) = delete;
    FramebufferBlit& operator=(const FramebufferBlit&) = delete;

    // Whether the current context and its window can copy this way.
    static bool available();

    // Gives `texture` the area's size (x, y, width, height) and copies the
    // area into it. False, with nothing to put back and the framebuffer
    // object given back, where the renderer cannot use the texture for it or
    // reports an error.
    bool take(GLuint texture, const GLint area[4]);
    // Puts the copy last taken back where it was taken. The scissor test
    // must be off (blits obey it), as it always is in this program.
    void put() const;

    // Gives back the framebuffer object (before its texture goes, so that no
    // framebuffer keeps a deleted texture attached).
    void release();

private:
    GLuint framebuffer = 0;
    GLint taken[4] = {};
};

// What both renderer probes ask of their throwaway context besides its
// name: the longest side of a drawable it takes.
#pragma once

#include <GL/gl.h>

namespace platform {

// The smaller of the current context's largest viewport and texture sides
// (sdl12-compat draws into a texture of the window's size); 0 when unknown.
inline int currentMaxDrawableSide() {
    GLint viewport[2] = {0, 0}, texture = 0;
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture);
    GLint side = viewport[0] < viewport[1] ? viewport[0] : viewport[1];
    if (texture < side) side = texture;
    return side > 0 ? side : 0;
}

}  // namespace platform

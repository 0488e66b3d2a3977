// Image entry bytes into an OpenGL texture: decoded (PNG, JPEG or BMP within
// the side limit), converted to tightly packed RGBA when the decoder chose
// another layout, and uploaded with the one texture recipe; an opaque
// picture (no alpha channel, or alpha 255 everywhere) as RGB, without one.
#pragma once

#include "platform/Result.h"

#include <GL/gl.h>

#include <cstddef>
#include <string>

// The new texture (left bound, never 0), or a short reason.
Result<GLuint> textureFromImage(const unsigned char* bytes, std::size_t size);

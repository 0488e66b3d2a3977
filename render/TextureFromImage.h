// Image entry bytes into an OpenGL texture: decoded (PNG, JPEG or BMP within
// the side limit), converted to tightly packed RGBA when the decoder chose
// another layout, and uploaded with the one texture recipe; an opaque
// picture (no alpha channel, or alpha 255 everywhere) as RGB, without one.
#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <string>

// The new texture (left bound), or 0 with a short reason.
GLuint textureFromImage(const unsigned char* bytes, std::size_t size, std::string* reason);

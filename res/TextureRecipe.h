// The one recipe by which every texture is created.
#pragma once

#include <GL/gl.h>

// Generates and binds a texture, uploads width x height RGBA pixels (row 0
// at t = 0), GL_MODULATE, linear filters, no mipmaps. The texture stays bound.
GLuint createTexture(int width, int height, const void* pixels);

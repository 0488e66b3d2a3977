// The one recipe by which every texture is created.
#pragma once

#include <GL/gl.h>

// How the pixels handed to the recipe are laid out: bytes R, G, B (an
// opaque picture, kept without an alpha channel) or R, G, B, A.
enum class TexelLayout { Rgb, Rgba };

// Generates and binds a texture, uploads width x height pixels, rows tightly
// packed (row 0 at t = 0), with an alpha channel only for Rgba; GL_MODULATE,
// linear filters, no mipmaps. The texture stays bound.
GLuint createTexture(int width, int height, const void* pixels, TexelLayout layout = TexelLayout::Rgba);

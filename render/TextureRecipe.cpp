#include "render/TextureRecipe.h"

GLuint createTexture(int width, int height, const void* pixels, TexelLayout layout) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    // Rows of three-byte pixels need not start on four-byte boundaries.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const GLenum format = layout == TexelLayout::Rgb ? GL_RGB : GL_RGBA;
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, format, GL_UNSIGNED_BYTE, pixels);
    // Texture-unit state, so every creation sets it again.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return texture;
}

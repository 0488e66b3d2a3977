#include "scene/BackdropCopy.h"

#include "scene/MeshPart.h"

#include <GL/glext.h>

#include <cstdlib>
#include <cstring>

namespace {

// Textures of any size came with OpenGL 2.0 (or the extension before it);
// older renderers keep drawing the parts.
bool anySizeTextures() {
    static const bool supported = [] {
        const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        if (version && std::atoi(version) >= 2) return true;
        const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
        return extensions && std::strstr(extensions, "GL_ARB_texture_non_power_of_two") != nullptr;
    }();
    return supported;
}

// The viewport's corners, one texel per pixel.
const GLfloat corners[] = {-1, -1, 1, -1, 1, 1, -1, -1, 1, 1, -1, 1};
const GLfloat texels[] = {0, 0, 1, 0, 1, 1, 0, 0, 1, 1, 0, 1};
const GLfloat normals[18] = {};

long long texelsOf(GLuint texture) {
    if (texture == 0) return 0;
    GLint width = 0, height = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    return static_cast<long long>(width) * height;
}

}  // namespace

bool BackdropCopy::Placement::operator==(const Placement& other) const {
    return std::memcmp(viewport, other.viewport, sizeof viewport) == 0 &&
           std::memcmp(projection, other.projection, sizeof projection) == 0 &&
           std::memcmp(modelView, other.modelView, sizeof modelView) == 0;
}

const void* BackdropCopy::quadPositions() { return corners; }

BackdropCopy::~BackdropCopy() {
    if (copy) glDeleteTextures(1, &copy);
}

bool BackdropCopy::suits(const std::vector<MeshPart*>& parts, std::size_t count) {
    if (count == 0 || count > parts.size()) return false;
    for (std::size_t i = 0; i < count; ++i) {
        const MeshPart* part = parts[i];
        if (!part || !part->material || part->procedural || part->transparent() || part->alphaTested() ||
            (part->hints() & renderHint::backdrop) == 0)
            return false;
    }
    return true;
}

void BackdropCopy::draw(const std::vector<MeshPart*>& parts, std::size_t count) {
    Placement now;
    glGetIntegerv(GL_VIEWPORT, now.viewport);
    glGetDoublev(GL_PROJECTION_MATRIX, now.projection);
    glGetDoublev(GL_MODELVIEW_MATRIX, now.modelView);
    if (attempted && now == copied) {
        if (copy) {
            drawCopy();
        } else {
            for (std::size_t i = 0; i < count; ++i) parts[i]->draw();
        }
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        parts[i]->takeTextureAgain();
        parts[i]->draw();
    }
    copied = now;
    attempted = true;
    takeCopy(parts, count);
}

void BackdropCopy::takeCopy(const std::vector<MeshPart*>& parts, std::size_t count) {
    const GLint x = copied.viewport[0], y = copied.viewport[1], width = copied.viewport[2],
                height = copied.viewport[3];
    long long replaced = 0;
    for (std::size_t i = 0; i < count; ++i) replaced += texelsOf(parts[i]->texture);
    const bool fits = width > 0 && height > 0 && static_cast<long long>(width) * height <= replaced;
    if (!fits || !anySizeTextures()) {
        if (copy) glDeleteTextures(1, &copy);
        copy = 0;
        return;
    }
    while (glGetError() != GL_NO_ERROR) {
    }
    if (!copy) glGenTextures(1, &copy);
    glBindTexture(GL_TEXTURE_2D, copy);
    // In the colour buffer's own layout: taken and drawn without converting
    // (its alpha is the buffer's, which blending never reads back).
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, x, y, width, height, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    if (glGetError() != GL_NO_ERROR) {
        // Out of memory, or a renderer that cannot copy this buffer: the
        // parts go on drawing themselves.
        glDeleteTextures(1, &copy);
        copy = 0;
        return;
    }
    for (std::size_t i = 0; i < count; ++i) parts[i]->giveTextureBack();
}

void BackdropCopy::drawCopy() const {
    const GLboolean depthTest = glIsEnabled(GL_DEPTH_TEST);
    if (depthTest) glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, copy);
    // The copy holds the finished colours: nothing to modulate them by.
    GLint envMode = GL_MODULATE;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glVertexPointer(2, GL_FLOAT, 0, corners);
    glNormalPointer(GL_FLOAT, 0, normals);
    glTexCoordPointer(2, GL_FLOAT, 0, texels);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, envMode);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    if (depthTest) glEnable(GL_DEPTH_TEST);
}

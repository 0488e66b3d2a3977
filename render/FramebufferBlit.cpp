#include "render/FramebufferBlit.h"

#include <GL/glext.h>
#include <SDL/SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The entry points, found once: one renderer serves a process.
struct EntryPoints {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLFRAMEBUFFERTEXTURE2DPROC framebufferTexture2D = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;

    bool complete() const {
        return genFramebuffers && deleteFramebuffers && bindFramebuffer && framebufferTexture2D &&
               checkFramebufferStatus && blitFramebuffer;
    }
};

// A whole name in the space-separated list: "GL_EXT_framebuffer_blit" must
// not match "GL_EXT_framebuffer_blit_layers".
bool listed(const char* extensions, const char* name) {
    if (!extensions) return false;
    const std::size_t length = std::strlen(name);
    for (const char* at = std::strstr(extensions, name); at; at = std::strstr(at + 1, name)) {
        const bool starts = at == extensions || at[-1] == ' ';
        const bool ends = at[length] == ' ' || at[length] == '\0';
        if (starts && ends) return true;
    }
    return false;
}

template <class Function>
void find(Function& out, const char* name, const char* suffix) {
    const std::string full = std::string(name) + suffix;
    out = reinterpret_cast<Function>(SDL_GL_GetProcAddress(full.c_str()));
}

const EntryPoints& entryPoints() {
    static const EntryPoints found = [] {
        EntryPoints e;
        const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
        // Asked for only when offered: some drivers hand out an address for
        // any name at all.
        const char* suffix = nullptr;
        if ((version && std::atoi(version) >= 3) || listed(extensions, "GL_ARB_framebuffer_object"))
            suffix = "";
        else if (listed(extensions, "GL_EXT_framebuffer_object") && listed(extensions, "GL_EXT_framebuffer_blit"))
            suffix = "EXT";
        if (!suffix) return e;
        find(e.genFramebuffers, "glGenFramebuffers", suffix);
        find(e.deleteFramebuffers, "glDeleteFramebuffers", suffix);
        find(e.bindFramebuffer, "glBindFramebuffer", suffix);
        find(e.framebufferTexture2D, "glFramebufferTexture2D", suffix);
        find(e.checkFramebufferStatus, "glCheckFramebufferStatus", suffix);
        find(e.blitFramebuffer, "glBlitFramebuffer", suffix);
        return e;
    }();
    return found;
}

}  // namespace

bool FramebufferBlit::available() {
    if (!entryPoints().complete()) return false;
    GLint sampleBuffers = 0;
    glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
    return sampleBuffers == 0;
}

bool FramebufferBlit::take(GLuint texture, const GLint area[4]) {
    if (!available()) return false;
    const EntryPoints& gl = entryPoints();
    while (glGetError() != GL_NO_ERROR) {
    }
    const GLint x = area[0], y = area[1], width = area[2], height = area[3];
    glBindTexture(GL_TEXTURE_2D, texture);
    // Unsized and in the window's byte order, so that the renderer may keep
    // it in the window's own layout and copy it as it is.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    if (!framebuffer) gl.genFramebuffers(1, &framebuffer);
    gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    gl.framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    const bool complete = gl.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (complete) {
        gl.bindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        gl.blitFramebuffer(x, y, x + width, y + height, 0, height, width, 0, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    }
    gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
    if (!complete || glGetError() != GL_NO_ERROR) {
        release();
        return false;
    }
    std::memcpy(taken, area, sizeof taken);
    return true;
}

void FramebufferBlit::put() const {
    if (!framebuffer) return;
    const EntryPoints& gl = entryPoints();
    const GLint x = taken[0], y = taken[1], width = taken[2], height = taken[3];
    gl.bindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    gl.blitFramebuffer(0, height, width, 0, x, y, x + width, y + height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    gl.bindFramebuffer(GL_READ_FRAMEBUFFER, 0);
}

void FramebufferBlit::release() {
    if (framebuffer) entryPoints().deleteFramebuffers(1, &framebuffer);
    framebuffer = 0;
}

// A texture whose pixels a generator recomputes from a time value.
#pragma once

#include <GL/gl.h>

#include <cstdint>

using TextureGenerator = void (*)(std::int32_t time, std::int32_t width, std::int32_t height, unsigned char* pixels,
                                  void* userData);
using TextureDeleter = void (*)(void* userData);

struct DynamicTexture {
    TextureGenerator generator;
    void* userData;  // owned; freed by deleter
    TextureDeleter deleter;
    std::int32_t width;
    std::int32_t height;
    GLuint textureId = 0;
    unsigned char* pixels = nullptr;  // width x height x 4, zero-filled at creation
    std::int32_t byteSize = 0;

    DynamicTexture(TextureGenerator generator, TextureDeleter deleter, void* userData, std::int32_t width,
                   std::int32_t height);
    ~DynamicTexture();  // frees pixels, calls deleter; the GL texture is the registry's
    DynamicTexture(const DynamicTexture&) = delete;
    DynamicTexture& operator=(const DynamicTexture&) = delete;

    // Runs the generator and replaces the texture's contents.
    void update(std::int32_t time);
};

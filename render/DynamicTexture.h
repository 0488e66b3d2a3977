// A texture whose pixels a generator recomputes from a time value.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <memory>
#include <vector>

using TextureGenerator = void (*)(std::int32_t time, std::int32_t width, std::int32_t height, unsigned char* pixels,
                                  void* userData);

struct DynamicTexture {
    TextureGenerator generator;
    std::int32_t width;
    std::int32_t height;
    GLuint textureId = 0;
    std::vector<unsigned char> pixels;  // width x height x 4, zero-filled at creation

    // The generator's own state, owned and handed to it on every update; the
    // generator must take a State* as its userData.
    template <class State>
    DynamicTexture(TextureGenerator generator, std::unique_ptr<State> state, std::int32_t width, std::int32_t height)
        : DynamicTexture(generator, StatePointer(state.release(), [](void* p) { delete static_cast<State*>(p); }),
                         width, height) {}
    // The GL texture is the registry's to delete: it may outlive the context.
    DynamicTexture(const DynamicTexture&) = delete;
    DynamicTexture& operator=(const DynamicTexture&) = delete;

    // Runs the generator and replaces the texture's contents.
    void update(std::int32_t time);

private:
    using StatePointer = std::unique_ptr<void, void (*)(void*)>;
    DynamicTexture(TextureGenerator generator, StatePointer state, std::int32_t width, std::int32_t height);
    StatePointer state;
};

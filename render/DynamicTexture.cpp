#include "render/DynamicTexture.h"

#include "render/TextureRecipe.h"

DynamicTexture::DynamicTexture(TextureGenerator generator, StatePointer state, std::int32_t width, std::int32_t height)
    : generator(generator),
      width(width),
      height(height),
      // Zeroed: until the first update the texture shows transparent black,
      // not whatever the allocator left there.
      pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4),
      state(std::move(state)) {
    textureId = createTexture(width, height, pixels.data());
}

void DynamicTexture::update(std::int32_t time) {
    generator(time, width, height, pixels.data(), state.get());
    glBindTexture(GL_TEXTURE_2D, textureId);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
}

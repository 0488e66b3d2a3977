#include "res/DynamicTexture.h"

#include "res/TextureRecipe.h"

DynamicTexture::DynamicTexture(TextureGenerator generator, TextureDeleter deleter, void* userData, std::int32_t width,
                               std::int32_t height)
    : generator(generator), userData(userData), deleter(deleter), width(width), height(height) {
    byteSize = width * height * 4;
    // Zeroed: until the first update the texture shows transparent black,
    // not whatever the allocator left there.
    pixels = new unsigned char[static_cast<std::size_t>(byteSize)]();
    textureId = createTexture(width, height, pixels);
}

DynamicTexture::~DynamicTexture() {
    delete[] pixels;
    if (deleter) deleter(userData);
}

void DynamicTexture::update(std::int32_t time) {
    generator(time, width, height, pixels, userData);
    glBindTexture(GL_TEXTURE_2D, textureId);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
}

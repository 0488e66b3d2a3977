// One part of a model: a triangle list drawn straight out of a pack entry.
#pragma once

#include "formats/ModelFormat.h"

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <string>

struct MeshPart {
    const unsigned char* material = nullptr;  // the 60-byte render block
    std::uint8_t savedDepthTest = 0, savedNormalize = 0, savedLighting = 0;
    std::uint8_t savedLights[8] = {};  // GL_LIGHT1 ... GL_LIGHT0 + 8
    std::int32_t triangleCount = 0;
    const unsigned char* positions = nullptr;
    const unsigned char* normals = nullptr;
    const unsigned char* texCoords = nullptr;
    std::string textureSource;  // procedural name, or pack name
    std::string textureName;    // the name as stored (cut at its terminator)
    GLuint texture = 0;
    std::uint8_t procedural = 0;
    double modelView[16] = {};

    MeshPart() = default;
    ~MeshPart();  // gives the texture back
    MeshPart(const MeshPart&) = delete;
    MeshPart& operator=(const MeshPart&) = delete;

    // Parses one part record at `cursor`, never reading at or past `end`.
    // On success advances the cursor past the record, takes the texture and
    // returns true; a record that would run past the end loads nothing.
    // The entry's name is for messages about its texture.
    bool load(const unsigned char*& cursor, const unsigned char* end, const std::string& packName,
              const std::string& entryName = std::string());

    void draw();          // opaque pass: draws, or queues a transparent part
    void drawDeferred();  // end of frame, for a queued part

    // A pack picture given back while something else shows it (the part
    // is not drawn meanwhile), and taken again before the part draws; each
    // does nothing when already done. Procedural textures are kept.
    void giveTextureBack();
    void takeTextureAgain();

    bool alphaTested() const { return material && material[renderBlock::alphaTest] != 0; }
    bool transparent() const { return material && material[renderBlock::transparent] != 0; }
    std::uint8_t hints() const { return material ? material[renderBlock::hints] : 0; }

private:
    void commonDraw() const;
    bool loaded = false;
    bool textureGivenBack = false;
};

// Draws the queued transparent parts in queue order with depth writes off,
// then empties the queue.
void flushDeferred();

#include "scene/MeshPart.h"

#include "formats/LittleEndian.h"
#include "formats/ModelFormat.h"
#include "render/Multisampling.h"
#include "render/PackCache.h"
#include "render/ProceduralTextureRegistry.h"
#include "scene/SceneResources.h"

#include <GL/glext.h>

#include <cstring>
#include <vector>

namespace {

void readColour(const unsigned char* p, float out[4]) {
    for (int i = 0; i < 4; ++i) out[i] = readFloatLe(p + 4 * i);
}

// The cut-out of an alpha-tested part: with samples to spare, partial
// coverage from the alpha smooths its edges; otherwise the alpha test.
GLenum alphaCut() { return framebufferMultisampled() ? GL_SAMPLE_ALPHA_TO_COVERAGE : GL_ALPHA_TEST; }

}  // namespace

bool MeshPart::load(const unsigned char*& cursor, const unsigned char* end, const std::string& packName,
                    const std::string& entryName) {
    PartRecord record;
    if (!readPartRecord(cursor, end, &record)) return false;
    textureName = record.textureName;
    if (textureName.size() >= 2 && textureName[1] == '#') {
        ProceduralTextureRegistry* registry = SceneResources::textures;
        texture = registry ? registry->acquire(textureName, packName + ": " + entryName) : 0;
        textureSource = textureName;
        procedural = 1;
    } else {
        texture = SceneResources::packCache ? SceneResources::packCache->acquireTexture(packName, textureName) : 0;
        textureSource = packName;
        procedural = 0;
    }
    loaded = true;
    material = record.material;
    triangleCount = record.triangleCount;
    positions = record.positions;
    normals = record.normals;
    texCoords = record.texCoords;
    return true;
}

MeshPart::~MeshPart() {
    if (!loaded || textureGivenBack) return;
    if (procedural) {
        if (SceneResources::textures) SceneResources::textures->release(textureSource);
    } else if (SceneResources::packCache) {
        SceneResources::packCache->releaseTexture(textureSource, texture);
    }
}

void MeshPart::giveTextureBack() {
    if (!loaded || procedural || textureGivenBack || !SceneResources::packCache) return;
    SceneResources::packCache->releaseTexture(textureSource, texture);
    texture = 0;
    textureGivenBack = true;
}

void MeshPart::takeTextureAgain() {
    if (!textureGivenBack || !SceneResources::packCache) return;
    texture = SceneResources::packCache->acquireTexture(textureSource, textureName);
    textureGivenBack = false;
}

void MeshPart::commonDraw() const {
    // What the artwork says of the part: the back faces of a closed one
    // never show; a backdrop has nothing behind it and everything drawn
    // later lies nearer, so it neither tests nor writes depth.
    const std::uint8_t hint = hints();
    const bool cull = (hint & renderHint::closed) != 0;
    const bool backdrop = (hint & renderHint::backdrop) != 0 && glIsEnabled(GL_DEPTH_TEST);
    if (cull) glEnable(GL_CULL_FACE);
    if (backdrop) glDisable(GL_DEPTH_TEST);
    float colour[4];
    glBindTexture(GL_TEXTURE_2D, texture);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, readFloatLe(material + renderBlock::shininess));
    readColour(material + renderBlock::specular, colour);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, colour);
    readColour(material + renderBlock::diffuse, colour);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, colour);
    readColour(material + renderBlock::ambient, colour);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, colour);
    // The arrays are used in place; OpenGL reads unaligned doubles here.
    glVertexPointer(3, GL_DOUBLE, 0, positions);
    glNormalPointer(GL_DOUBLE, 0, normals);
    glTexCoordPointer(2, GL_DOUBLE, 0, texCoords);
    glDrawArrays(GL_TRIANGLES, 0, 3 * triangleCount);
    if (backdrop) glEnable(GL_DEPTH_TEST);
    if (cull) glDisable(GL_CULL_FACE);
}

void MeshPart::draw() {
    if (!material) return;
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    if (transparent()) {
        savedDepthTest = glIsEnabled(GL_DEPTH_TEST);
        savedNormalize = glIsEnabled(GL_NORMALIZE);
        savedLighting = glIsEnabled(GL_LIGHTING);
        if (savedLighting) {
            for (int i = 0; i < 8; ++i) savedLights[i] = glIsEnabled(static_cast<GLenum>(GL_LIGHT0 + 1 + i));
        }
        if (SceneResources::deferredParts) SceneResources::deferredParts->push_back(this);
        return;
    }
    const bool alpha = alphaTested();
    if (alpha) glEnable(alphaCut());
    commonDraw();
    if (alpha) glDisable(alphaCut());
}

void MeshPart::drawDeferred() {
    if (!savedDepthTest) glDisable(GL_DEPTH_TEST);
    if (savedNormalize) glEnable(GL_NORMALIZE);
    if (savedLighting) {
        glEnable(GL_LIGHTING);
        for (int i = 0; i < 8; ++i)
            if (savedLights[i]) glEnable(static_cast<GLenum>(GL_LIGHT0 + 1 + i));
    }
    const bool alpha = alphaTested();
    if (alpha) glEnable(alphaCut());
    glLoadMatrixd(modelView);
    glEnable(GL_BLEND);
    commonDraw();
    if (!savedDepthTest) glEnable(GL_DEPTH_TEST);
    if (savedNormalize) glDisable(GL_NORMALIZE);
    if (savedLighting) {
        glDisable(GL_LIGHTING);
        for (int i = 0; i < 8; ++i)
            if (savedLights[i]) glDisable(static_cast<GLenum>(GL_LIGHT0 + 1 + i));
    }
    if (alpha) glDisable(alphaCut());
    glDisable(GL_BLEND);
}

void flushDeferred() {
    std::vector<MeshPart*>* queue = SceneResources::deferredParts;
    glDepthMask(GL_FALSE);
    if (queue) {
        for (MeshPart* part : *queue) part->drawDeferred();
        queue->clear();
    }
    glDepthMask(GL_TRUE);
}

// Model entries and mesh parts: parsing rules, bounds, textures, the
// opaque and deferred draws and the state they leave behind.
#include "formats/ModelFormat.h"
#include "scene/MeshPart.h"
#include "scene/SceneNode.h"
#include "support/ModelBytes.h"
#include "support/PngBytes.h"
#include "support/SceneFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using testsupport::modelEntry;
using testsupport::PartBlueprint;
using testsupport::solidPng;
using testsupport::square;

namespace {

class MeshPartTest : public testsupport::SceneFixture {
protected:
    PartBlueprint part(const std::string& texture, double z, bool transparent = false) {
        PartBlueprint p;
        p.textureName = texture;
        p.transparent = transparent;
        p.positions = square(0, 0, z, 10);
        return p;
    }
    void readCentre(unsigned char rgba[4]) {
        glFinish();
        glReadPixels(128, 128, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    }
    void writeColours() {
        writePack("c.pak", {{"red", solidPng(2, 2, 255, 0, 0, 255)},
                            {"greenHalf", solidPng(2, 2, 0, 255, 0, 128)},
                            {"blueHalf", solidPng(2, 2, 0, 0, 255, 128)},
                            {"greenFront", modelEntry({part("greenHalf", 5, true)})},
                            {"redBack", modelEntry({part("red", 0)})},
                            {"blueNear", modelEntry({part("blueHalf", 8, true)})},
                            {"greenFar", modelEntry({part("greenHalf", -8, true)})},
                            {"cutout", modelEntry({[&] {
                                 PartBlueprint p = part("greenHalf", 0);
                                 p.alphaTest = true;
                                 return p;
                             }()})}});
    }
};

TEST_F(MeshPartTest, HeaderMarkersNamesAndTextureSources) {
    PartBlueprint one = part("a", 0);
    PartBlueprint proc = part("x#Plasma16x16,1,2,3", 0);
    PartBlueprint unterminated = part("texture", 0);
    unterminated.nameLength = 3;  // "tex" with no terminator inside L
    PartBlueprint empty = part("a", 0);
    empty.positions.clear();  // T = 0
    empty.diffuse[0] = 0.25f;
    writePack("m.pak", {{"a", solidPng(2, 2, 1, 2, 3, 255)},
                        {"tex", solidPng(2, 2, 4, 5, 6, 255)},
                        {"plain", modelEntry({one, proc}, 7)},
                        {"marked", modelEntry({unterminated, empty}, 255)}});
    SceneNode node;
    node.loadModel("m.pak", "plain");
    node.loadModel("m.pak", "marked");
    ASSERT_EQ(node.partCount, 4);
    EXPECT_FALSE(node.parts[0]->procedural);
    EXPECT_EQ(node.parts[0]->textureSource, "m.pak");
    EXPECT_NE(node.parts[0]->texture, 0u);
    EXPECT_TRUE(node.parts[1]->procedural);
    EXPECT_EQ(node.parts[1]->textureSource, "x#Plasma16x16,1,2,3");
    EXPECT_EQ(registry->liveCount(), 1u);
    EXPECT_EQ(node.parts[2]->textureName, "tex");
    EXPECT_NE(node.parts[2]->texture, 0u);
    EXPECT_EQ(node.parts[3]->triangleCount, 0);

    // T = 0 draws nothing but still binds its texture and sets its material.
    glBindTexture(GL_TEXTURE_2D, 0);
    node.parts[3]->draw();
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), node.parts[3]->texture);
    GLfloat diffuse[4];
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    EXPECT_FLOAT_EQ(diffuse[0], 0.25f);
}

TEST_F(MeshPartTest, TruncatedEntriesKeepTheCompletePartsAndNeverReadPastTheEnd) {
    const std::vector<unsigned char> full = modelEntry({part("t", 0), part("t", 1)}, 255);
    const std::size_t first = 9 + testsupport::partRecord(part("t", 0)).size();
    writePack("m.pak", {{"t", solidPng(2, 2, 1, 2, 3, 255)}});
    for (std::size_t cut = 0; cut <= full.size(); ++cut) {
        // An exact-size heap copy, so a read past the end is caught.
        std::unique_ptr<unsigned char[]> bytes(new unsigned char[cut ? cut : 1]);
        std::copy(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut), bytes.get());
        std::vector<MeshPart*> parts;
        const std::int32_t n = parseModel(bytes.get(), static_cast<std::uint32_t>(cut), "m.pak", parts);
        const std::int32_t expected = cut == full.size() ? 2 : (cut >= first ? 1 : 0);
        EXPECT_EQ(n, expected) << "cut at " << cut;
        EXPECT_EQ(parts.size(), static_cast<std::size_t>(n));
        for (MeshPart* p : parts) delete p;
        EXPECT_EQ(cache->openCount(), 0u) << "cut at " << cut;
    }
    std::vector<MeshPart*> none;
    EXPECT_EQ(parseModel(nullptr, 0, "m.pak", none), 0);
    // A count far beyond the entry, and a negative name length.
    std::vector<unsigned char> liar = full;
    liar[5] = 0xFF;
    liar[6] = 0xFF;
    liar[7] = 0xFF;
    liar[8] = 0x7F;
    std::vector<MeshPart*> parts;
    EXPECT_EQ(parseModel(liar.data(), static_cast<std::uint32_t>(liar.size()), "m.pak", parts), 2);
    for (MeshPart* p : parts) delete p;
    std::vector<unsigned char> negative = full;
    negative[9 + 3] = 0x80;
    EXPECT_EQ(parseModel(negative.data(), static_cast<std::uint32_t>(negative.size()), "m.pak", none), 0);
    EXPECT_EQ(cache->openCount(), 0u);
}

TEST_F(MeshPartTest, WrittenModelsReadBackAsTheyWereAndAsTheBytesSay) {
    // What the writer makes reads back field for field.
    PartContents lit;
    lit.textureName = "x#Plasma16x16,1,2,3";
    lit.render.alphaTest = true;
    lit.render.hints = renderHint::closed | renderHint::backdrop;
    lit.render.diffuse[2] = 0.25f;
    lit.render.specular[3] = std::nanf("");
    lit.render.shininess = 12.5f;
    lit.positions = square(1, 2, 3, 4);
    for (std::size_t i = 0; i < 18; ++i) lit.normals.push_back(-0.5 * static_cast<double>(i));
    for (std::size_t i = 0; i < 12; ++i) lit.texCoords.push_back(1.0 / static_cast<double>(i + 1));
    PartContents empty;
    empty.textureName = "t";
    empty.render.transparent = true;
    const std::vector<unsigned char> bytes = writeModel({lit, empty});
    const std::vector<PartContents> back = readModel(bytes.data(), bytes.size());
    ASSERT_EQ(back.size(), 2u);
    EXPECT_TRUE(identical(back[0], lit));
    EXPECT_TRUE(identical(back[1], empty));
    EXPECT_FALSE(identical(back[0], back[1]));

    // And the reader takes what an entry built byte by byte says.
    PartBlueprint blueprint = part("tex", 5, true);
    blueprint.ambient[1] = 0.5f;
    const std::vector<unsigned char> entry = modelEntry({blueprint}, 255);
    const std::vector<PartContents> read = readModel(entry.data(), entry.size());
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].textureName, "tex");
    EXPECT_TRUE(read[0].render.transparent);
    EXPECT_FALSE(read[0].render.alphaTest);
    EXPECT_EQ(read[0].render.hints, 0);
    EXPECT_EQ(read[0].render.ambient[1], 0.5f);
    EXPECT_EQ(read[0].positions, blueprint.positions);
    ASSERT_EQ(read[0].normals.size(), 18u);
    EXPECT_EQ(read[0].normals[2], 1.0);
}

TEST_F(MeshPartTest, TransparentPartsAreBlendedAfterTheTreeInTraversalOrder) {
    writeColours();
    // The transparent green square is nearer but met first; deferred, it
    // is blended over the opaque red one drawn later in the traversal.
    {
        SceneNode root;
        SceneNode* front = new SceneNode;
        front->loadModel("c.pak", "greenFront");
        SceneNode* back = new SceneNode;
        back->loadModel("c.pak", "redBack");
        root.addChild(front);
        root.addChild(back);
        frame(10, {&root});
        unsigned char px[4];
        readCentre(px);
        EXPECT_NEAR(px[0], 127, 3);
        EXPECT_NEAR(px[1], 128, 3);
        EXPECT_EQ(px[2], 0);
        EXPECT_TRUE(deferred.empty());
        delete front;
        delete back;
    }
    // Two transparent parts: the later one is blended last, whatever the depth.
    {
        SceneNode root;
        root.loadModel("c.pak", "blueNear");
        root.loadModel("c.pak", "greenFar");
        frame(20, {&root});
        unsigned char px[4];
        readCentre(px);
        EXPECT_NEAR(px[1], 128, 3);
        EXPECT_NEAR(px[2], 63, 3);
    }
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_TRUE(mask);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_NORMALIZE));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
}

TEST_F(MeshPartTest, DeferredPartsRestoreTheLightingStateTheyWereQueuedWith) {
    writeColours();
    SceneNode lit;
    lit.loadModel("c.pak", "greenFront");
    SceneNode unlit;
    unlit.loadModel("c.pak", "blueNear");
    glLoadIdentity();
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT1);
    lit.draw();
    glDisable(GL_LIGHT1);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    unlit.draw();
    glEnable(GL_DEPTH_TEST);
    ASSERT_EQ(deferred.size(), 2u);
    EXPECT_TRUE(deferred[0]->savedLighting);
    EXPECT_TRUE(deferred[0]->savedLights[0]);
    EXPECT_FALSE(deferred[0]->savedLights[1]);
    EXPECT_FALSE(deferred[1]->savedLighting);
    EXPECT_FALSE(deferred[1]->savedDepthTest);
    glEnable(GL_LIGHT3);  // an unlit part leaves other enables alone
    flushDeferred();
    EXPECT_TRUE(deferred.empty());
    EXPECT_TRUE(glIsEnabled(GL_LIGHT3));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    glDisable(GL_LIGHT3);
    while (glGetError() != GL_NO_ERROR) {
    }
}

TEST_F(MeshPartTest, AlphaTestedPartsDropTranslucentTexels) {
    writeColours();
    SceneNode node;
    node.loadModel("c.pak", "cutout");
    frame(10, {&node});
    unsigned char px[4];
    readCentre(px);
    EXPECT_EQ(px[1], 0);  // alpha 128/255 does not pass GREATER 0.9
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
}

TEST_F(MeshPartTest, HintsCullTheBackFacesOfClosedPartsAndKeepBackdropsOutOfTheDepthBuffer) {
    PartBlueprint facing = part("red", 0);
    facing.hints = renderHint::closed;
    PartBlueprint turned = facing;
    for (std::size_t t = 0; t < turned.positions.size(); t += 9)
        for (std::size_t k = 0; k < 3; ++k) std::swap(turned.positions[t + 3 + k], turned.positions[t + 6 + k]);
    PartBlueprint open = turned;
    open.hints = 0;
    PartBlueprint backdrop = part("red", 8);
    backdrop.hints = renderHint::backdrop;
    writePack("h.pak", {{"red", solidPng(2, 2, 255, 0, 0, 255)},
                        {"green", solidPng(2, 2, 0, 255, 0, 255)},
                        {"facing", modelEntry({facing})},
                        {"turned", modelEntry({turned})},
                        {"open", modelEntry({open})},
                        {"backdrop", modelEntry({backdrop})},
                        {"behind", modelEntry({part("green", 0)})}});
    auto centreAfter = [&](const std::vector<const char*>& entries) {
        SceneNode root;
        for (const char* entry : entries) root.loadModel("h.pak", entry);
        frame(10, {&root});
        unsigned char px[4];
        readCentre(px);
        return std::vector<int>{px[0], px[1]};
    };
    EXPECT_EQ(centreAfter({"facing"}), (std::vector<int>{255, 0}));
    EXPECT_EQ(centreAfter({"turned"}), (std::vector<int>{0, 0}));  // its back faces us
    EXPECT_EQ(centreAfter({"open"}), (std::vector<int>{255, 0}));
    // Nearer, but drawn first as a backdrop: what follows is not hidden by it.
    EXPECT_EQ(centreAfter({"backdrop", "behind"}), (std::vector<int>{0, 255}));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
}

TEST_F(MeshPartTest, AllBackdropModelsArePutBackFromACopyThatFollowsTheViewport) {
    // Two bands side by side; each picture alone holds as many texels as the
    // 256x256 screen, so a copy of the screen costs no more than they do.
    PartBlueprint left = part("red", 0), right = part("green", 0);
    left.positions = square(-6, 0, 0, 5);
    right.positions = square(6, 2, 0, 5);
    left.hints = right.hints = renderHint::backdrop;
    writePack("b.pak", {{"red", solidPng(256, 128, 255, 0, 0, 255)},
                        {"green", solidPng(256, 128, 0, 255, 0, 255)},
                        {"blue", solidPng(2, 2, 0, 0, 255, 255)},
                        {"bands", modelEntry({left, right})},
                        {"front", modelEntry({part("blue", 5)})}});
    auto picture = [&](int width, int height) {
        std::vector<unsigned char> rgba(4u * static_cast<std::size_t>(width * height));
        glFinish();
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    };
    SceneNode bands, front;
    bands.loadModel("b.pak", "bands");
    front.loadModel("b.pak", "front");
    EXPECT_EQ(cache->refCount("b.pak"), 5);  // two models, three textures
    frame(10, {&bands, &front});
    const std::vector<unsigned char> drawn = picture(256, 256);
    EXPECT_EQ(cache->refCount("b.pak"), 3) << "the copy stands for the bands' pictures";
    frame(20, {&bands, &front});
    EXPECT_EQ(picture(256, 256), drawn);
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_MODULATE);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    // A new size: the bands are drawn (their pictures taken again) and
    // copied anew, as a fresh model shows them at that size.
    display->resize(200, 150);
    frame(30, {&bands, &front});
    frame(40, {&bands, &front});
    const std::vector<unsigned char> resized = picture(200, 150);
    EXPECT_EQ(cache->refCount("b.pak"), 3);
    {
        SceneNode fresh;
        fresh.loadModel("b.pak", "bands");
        frame(50, {&fresh, &front});
        EXPECT_EQ(picture(200, 150), resized);
    }
    display->resize(256, 256);
    EXPECT_EQ(cache->refCount("b.pak"), 3);
}

}  // namespace

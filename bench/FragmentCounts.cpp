// The query calls are OpenGL 1.5 and later: declared only with this, before
// any OpenGL header.
#define GL_GLEXT_PROTOTYPES
#include "bench/FragmentCounts.h"

#include "scene/BackdropCopy.h"
#include "scene/MeshPart.h"
#include "scene/SceneNode.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

extern "C" void __real_glDrawArrays(GLenum mode, GLint first, GLsizei count);

namespace {

struct CountedDraw {
    const void* positions;
    GLsizei vertices;
    GLuint shaded, passed;  // the two queries around it
};

bool counting = false;
std::vector<CountedDraw> frameDraws;
std::vector<GLuint> queryPool;
std::size_t queriesUsed = 0;

GLuint nextQuery() {
    if (queriesUsed == queryPool.size()) {
        const std::size_t more = queryPool.empty() ? 256 : queryPool.size();
        queryPool.resize(queryPool.size() + more);
        glGenQueries(static_cast<GLsizei>(more), queryPool.data() + queryPool.size() - more);
    }
    return queryPool[queriesUsed++];
}

// One kind of draw: the same pack, part of its model, texture and flags
// (the calendar's 31 day numbers are one kind), and the entries it came from.
struct Row {
    std::string pack, texture, flags;
    std::size_t part = 0;
    std::set<std::string> entries;
    double draws = 0, triangles = 0, shaded = 0, passed = 0;

    std::string name() const {
        const std::string entry =
            entries.size() == 1 ? *entries.begin() : "(" + std::to_string(entries.size()) + " entries)";
        return pack + ":" + entry + "#" + std::to_string(part) + " " + texture;
    }
};

struct PartLabel {
    std::string kind;  // the key of its row
    Row row;           // the row's fields, for a row's first draw
    std::string entry;
};

// What each vertex array belongs to, from the trees as the frame left them.
void label(const SceneNode& node, std::map<const void*, PartLabel>& out) {
    for (std::size_t i = 0; i < node.parts.size(); ++i) {
        const MeshPart& part = *node.parts[i];
        Row row;
        row.pack = node.packNames.empty() ? std::string() : node.packNames[0];
        row.texture = part.textureName;
        row.part = i;
        row.flags = std::string(part.alphaTested() ? "A" : "") + (part.transparent() ? "T" : "");
        if (row.flags.empty()) row.flags = "-";
        const std::string kind = row.pack + " #" + std::to_string(i) + " " + row.texture + " " + row.flags;
        out[part.positions] = PartLabel{kind, row, modelEntryName(node)};
    }
    if (node.backdropCopy && node.backdropCopy->texture() != 0) {
        Row row;
        row.pack = node.packNames.empty() ? std::string() : node.packNames[0];
        row.texture = "(the copy standing for its parts)";
        row.flags = "-";
        out[BackdropCopy::quadPositions()] = PartLabel{row.pack + " copy", row, modelEntryName(node)};
    }
    for (const SceneNode* child : node.children) label(*child, out);
}

}  // namespace

extern "C" void __wrap_glDrawArrays(GLenum mode, GLint first, GLsizei count) {
    if (!counting) {
        __real_glDrawArrays(mode, first, count);
        return;
    }
    CountedDraw d{nullptr, count, nextQuery(), nextQuery()};
    void* positions = nullptr;
    glGetPointerv(GL_VERTEX_ARRAY_POINTER, &positions);
    d.positions = positions;
    glBeginQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB, d.shaded);
    glBeginQuery(GL_SAMPLES_PASSED, d.passed);
    __real_glDrawArrays(mode, first, count);
    glEndQuery(GL_SAMPLES_PASSED);
    glEndQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB);
    frameDraws.push_back(d);
}

bool fragmentCountsAvailable() {
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return extensions && std::strstr(extensions, "GL_ARB_pipeline_statistics_query") &&
           std::strstr(extensions, "GL_ARB_occlusion_query");
}

void printFragmentTable(const std::function<void()>& frame, int frames, int width, int height,
                        const SceneNode& sceneRoot, const SceneNode& overlayRoot) {
    std::vector<std::string> order;
    std::map<std::string, Row> rows;
    PartLabel unknown;
    unknown.kind = "?";
    unknown.row.pack = "?";
    unknown.row.texture = "(a part no longer in the tree)";
    unknown.row.flags = "?";
    for (int f = 0; f < frames; ++f) {
        frameDraws.clear();
        queriesUsed = 0;
        counting = true;
        frame();
        counting = false;
        std::map<const void*, PartLabel> labels;
        label(sceneRoot, labels);
        label(overlayRoot, labels);
        for (const CountedDraw& d : frameDraws) {
            GLuint64 shaded = 0, passed = 0;
            glGetQueryObjectui64v(d.shaded, GL_QUERY_RESULT, &shaded);
            glGetQueryObjectui64v(d.passed, GL_QUERY_RESULT, &passed);
            const auto found = labels.find(d.positions);
            const PartLabel& l = found == labels.end() ? unknown : found->second;
            auto inserted = rows.emplace(l.kind, l.row);
            if (inserted.second) order.push_back(l.kind);
            Row& row = inserted.first->second;
            row.entries.insert(l.entry);
            row.draws += 1;
            row.triangles += d.vertices / 3;
            row.shaded += static_cast<double>(shaded);
            row.passed += static_cast<double>(passed);
        }
    }
    const double n = frames;
    double shaded = 0, passed = 0;
    std::printf("%-46s %5s %6s %9s %10s %10s %7s\n", "draw (pack:entry#part texture)", "flags", "draws", "triangles",
                "shaded", "passed", "passed");
    for (const std::string& kind : order) {
        const Row& r = rows[kind];
        std::printf("%-46s %5s %6.1f %9.0f %10.0f %10.0f %6.0f%%\n", r.name().c_str(), r.flags.c_str(), r.draws / n,
                    r.triangles / n, r.shaded / n, r.passed / n, r.shaded > 0 ? 100 * r.passed / r.shaded : 0.0);
        shaded += r.shaded / n;
        passed += r.passed / n;
    }
    std::printf("(flags: A alpha-tested, T transparent; figures a frame, the mean of %d frames)\n", frames);
    std::printf("mode=fragments size=%dx%d shaded=%.0f passed=%.0f pixels=%d\n", width, height, shaded, passed,
                width * height);
    if (!queryPool.empty()) glDeleteQueries(static_cast<GLsizei>(queryPool.size()), queryPool.data());
    queryPool.clear();
}

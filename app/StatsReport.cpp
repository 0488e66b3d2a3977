#include "app/StatsReport.h"

#include "app/App.h"
#include "app/OverlayAssembly.h"
#include "app/SceneAssembly.h"
#include "platform/Platform.h"
#include "render/FrameTicks.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

struct StatsState {
    bool checked = false;
    std::string path;  // empty: off
    double intervalSeconds = 5;
    double nextReport = 0;
    double started = 0;
    unsigned long long frames = 0;
    std::time_t previousWall = 0;
};

StatsState statsRun;  // what this run has reported so far

// Texture objects that exist in the context, counted by asking OpenGL
// about every name up to the next one it would hand out.
void countGlTextures(long& live, long& nextName) {
    GLuint probe = 0;
    glGenTextures(1, &probe);
    glDeleteTextures(1, &probe);
    nextName = static_cast<long>(probe);
    live = 0;
    for (GLuint name = 1; name < probe; ++name)
        if (glIsTexture(name)) ++live;
}

void packFigures(long& references, long& textures) {
    references = 0;
    textures = 0;
    for (std::size_t i = 0; i < App::packCache.openCount(); ++i) {
        const std::string& name = App::packCache.openName(i);
        references += App::packCache.refCount(name);
        const PackFile* pack = App::packCache.find(name);
        if (!pack) continue;
        for (std::size_t e = 0; e < pack->entryCount(); ++e)
            if (pack->textureIdAt(e) != 0) ++textures;
    }
}

std::string wallText(std::time_t t) {
    std::tm local{};
    platform::localTime(t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

}  // namespace

void reportStatsIfDue() {
    if (!statsRun.checked) {
        statsRun.checked = true;
        const RunInputs& in = App::runInputs;
        statsRun.path = in.statsFile;
        const double seconds = std::atof(in.statsSeconds.c_str());
        if (seconds > 0) statsRun.intervalSeconds = seconds;
        statsRun.started = platform::monotonicSeconds();
        statsRun.nextReport = statsRun.started + statsRun.intervalSeconds;
        statsRun.previousWall = platform::wallTime();
    }
    if (statsRun.path.empty()) return;
    ++statsRun.frames;
    const double now = platform::monotonicSeconds();
    const std::time_t frameStartWall = statsRun.previousWall;
    statsRun.previousWall = platform::wallTime();
    if (now < statsRun.nextReport) return;
    statsRun.nextReport = now + statsRun.intervalSeconds;

    long glLive = 0, glNext = 0, packRefs = 0, packTextures = 0;
    countGlTextures(glLive, glNext);
    packFigures(packRefs, packTextures);
    std::string overlays;
    if (App::sceneRoot) overlays = describeTurns(*App::sceneRoot) + " ";
    if (App::overlayRoot && App::settings)
        overlays += describeOverlays(App::overlays, *App::overlayRoot, *App::settings);

    char line[512];
    std::snprintf(line, sizeof line,
                  "t=%.1f frames=%llu ticks=%lu wall0=%s wall1=%s nodes=%lld packs=%zu packrefs=%ld packtex=%ld "
                  "proctex=%zu gltex=%ld glnext=%ld rss_kb=%ld ",
                  now - statsRun.started, statsRun.frames, static_cast<unsigned long>(frameTicks),
                  wallText(frameStartWall).c_str(), wallText(statsRun.previousWall).c_str(),
                  static_cast<long long>(liveSceneNodes), App::packCache.openCount(), packRefs, packTextures,
                  App::proceduralTextures.liveCount(), glLive, glNext, platform::residentKilobytes());
    // Only a regular file: a FIFO without a reader would hold the frames up
    // for good, and a device is no place for them.
    if (const Result<void> appended = platform::appendToRegularFile(statsRun.path, line + overlays + "\n"); !appended) {
        platform::warn("QUESSANTA_STATS_FILE " + statsRun.path + ": " + appended.message() + "; no statistics");
        statsRun.path.clear();
    }
}

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>

namespace testsupport {

std::string makeTempDir() {
    char tmpl[] = "/tmp/quessanta-test-XXXXXX";
    char* dir = mkdtemp(tmpl);
    return dir ? std::string(dir) : std::string();
}

void removeTree(const std::string& path) {
    if (path.rfind("/tmp/quessanta-test-", 0) != 0) return;  // never anything else
    std::string cmd = "rm -rf '" + path + "'";
    int rc = std::system(cmd.c_str());
    (void)rc;
}

void writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool fileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

bool PrivateXvfb::start(const char* screen) {
    if (pid > 0) return true;
    int fds[2];
    if (pipe(fds) != 0) return false;
    pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        int devnull = open("/dev/null", O_WRONLY);
        if (devnull >= 0) {
            dup2(devnull, 1);
            dup2(devnull, 2);
        }
        // -displayfd: the server picks a free display and writes its number
        // once it accepts connections; -noreset: no reset after the last client.
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen, "-nolisten", "tcp", "-noreset",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) {
        stop();
        return false;
    }
    displayName = ":" + number;
    const char* old = std::getenv("DISPLAY");
    previous = old ? old : "";
    setenv("DISPLAY", displayName.c_str(), 1);
    return true;
}

void PrivateXvfb::stop() {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    pid = -1;
    if (!displayName.empty()) {
        if (previous.empty())
            unsetenv("DISPLAY");
        else
            setenv("DISPLAY", previous.c_str(), 1);
    }
    displayName.clear();
}

static bool glOpen = false;

bool openGlContext(int width, int height) {
    if (glOpen) return true;
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return false;
    if (SDL_Init(SDL_INIT_VIDEO) < 0) return false;
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    if (!SDL_SetVideoMode(width, height, 32, SDL_OPENGL)) {
        SDL_Quit();
        return false;
    }
    glOpen = true;
    return true;
}

void closeGlContext() {
    if (!glOpen) return;
    SDL_Quit();
    glOpen = false;
}

namespace {

// The shared context and the driver's threads end with the tests, not at
// exit: the leak check that sanitizer builds run at exit stops every thread
// to scan it, and now and then crashes on threads that are winding down.
class GlContextEnvironment : public ::testing::Environment {
public:
    void TearDown() override { closeGlContext(); }
};
const ::testing::Environment* const glContextEnvironment =
    ::testing::AddGlobalTestEnvironment(new GlContextEnvironment);

}  // namespace

}  // namespace testsupport

#include "scene/SceneNode.h"
#include "support/SceneFixture.h"

namespace testsupport {

Display* SceneFixture::display = nullptr;

void SceneFixture::frame(std::uint32_t ticks, const std::vector<SceneNode*>& roots) {
    frameTicks = ticks;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0, 0, -100);
    for (SceneNode* root : roots) root->draw();
    flushDeferred();
    registry->updateAll();
}

}  // namespace testsupport

// Helpers shared by the GoogleTest programs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// A fresh empty folder under /tmp, removed by the caller with removeTree.
std::string makeTempDir();
void removeTree(const std::string& path);
void writeFile(const std::string& path, const std::vector<unsigned char>& bytes);
std::vector<unsigned char> readFile(const std::string& path);
bool fileExists(const std::string& path);

// An OpenGL context for tests that need one: a small SDL window on the
// display in DISPLAY (Xvfb in the test run). Skips the test when there is
// no display. Opening twice keeps the first context.
bool openGlContext(int width = 256, int height = 256);
void closeGlContext();

// A private X server for tests that send input or read the whole screen,
// so that tests running at the same time cannot steal each other's keys.
// start() sets DISPLAY for this process and its children.
class PrivateXvfb {
public:
    bool start(const char* screen = "1024x768x24");
    void stop();
    ~PrivateXvfb() { stop(); }
    const std::string& name() const { return displayName; }

private:
    int pid = -1;
    std::string displayName;
    std::string previous;
};

}  // namespace testsupport

#include "support/Install.h"

#include "render/PackFile.h"
#include "support/PackEntries.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace testsupport {

namespace {

void writePack(const std::string& path, const std::vector<std::string>& names) {
    static const unsigned char emptyModel[5] = {0, 0, 0, 0, 0};
    PackFile pack;
    for (const std::string& n : names) pack.addEntry(n, emptyModel, sizeof emptyModel);
    if (!pack.save(path)) std::abort();  // the fixture cannot stand without it
}

}  // namespace

void writeEmptyModelPacks(const std::string& dir) {
    writePack(dir + "main.pak", {"fon", "flowers"});
    writePack(dir + "utils.pak", utilsEntries());
    for (int i = 1; i <= 5; ++i) writePack(dir + "butterfly" + std::to_string(i) + ".pak", {"brushko", "krilo"});
    writePack(dir + "clock.pak", clockEntries());
    writePack(dir + "calendar.pak", calendarEntries());
}

int startScreensaver(const std::string& installDir, const std::string& appData, const std::string& errPath,
                     const char* const* extraEnv, const std::string& tracePath) {
    const std::string exe = std::string(QUESSANTA_INSTALL_DIR) + "Quessanta";
    pid_t pid = fork();
    if (pid == 0) {
        setenv("QUESSANTA_PATH", installDir.c_str(), 1);
        setenv("QUESSANTA_COMMON_APPDATA", appData.c_str(), 1);
        setenv("SDL_VIDEODRIVER", "x11", 1);
        for (const char* const* e = extraEnv; e && *e; e += 2) setenv(e[0], e[1], 1);
        int fd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            dup2(fd, 2);
            close(fd);
        }
        if (!tracePath.empty()) {
            setenv("ASAN_OPTIONS", "verify_asan_link_order=0:detect_leaks=0", 1);
            const std::string output = "--output=" + tracePath;
            execlp("apitrace", "apitrace", "trace", "--api=gl", output.c_str(), exe.c_str(),
                   static_cast<char*>(nullptr));
        }
        execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

int waitForExit(int pid, double seconds) {
    const int steps = static_cast<int>(seconds * 20);
    for (int i = 0; i <= steps; ++i) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            if (WIFEXITED(status)) return WEXITSTATUS(status);
            return -2;
        }
        struct timespec ts = {0, 50 * 1000 * 1000};
        nanosleep(&ts, nullptr);
    }
    return -1;
}

}  // namespace testsupport

// POSIX implementation of the platform layer's process, environment and
// folder services. Covers Linux (the executable is found through
// /proc/self/exe); lacks the registry, which the environment stands in for.
#include "platform/Platform.h"
#include "platform/posix/InheritedSignals.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {

const char* const screensaverProgram = "Quessanta";
const char* const settingsProgram = "config";


std::string installDir() {
    std::string dir = getEnv("QUESSANTA_PATH");
    // Absolute, so that it still holds after a launch changes folder.
    if (!dir.empty() && dir[0] != '/') {
        char cwd[PATH_MAX];
        if (getcwd(cwd, sizeof cwd)) dir = std::string(cwd) + (cwd[1] ? "/" : "") + dir;
    }
    if (dir.empty()) {
        char buf[PATH_MAX];
        ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
        if (n > 0) {
            buf[n] = '\0';
            dir = buf;
            std::string::size_type slash = dir.rfind('/');
            dir = slash == std::string::npos ? std::string(".") : dir.substr(0, slash);
        } else {
            dir = ".";
        }
    }
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

Result<void> createFolders(const std::string& path) {
    if (path.empty()) return failure("cannot create a folder with an empty name");
    std::string partial;
    for (std::string::size_type i = 0; i <= path.size(); ++i) {
        if (i == path.size() || (path[i] == '/' && i > 0)) {
            partial = path.substr(0, i);
            if (mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST)
                return failure("cannot create the folder " + partial + ": " + std::strerror(errno));
        }
    }
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return failure("cannot create the folder " + path + ": " + std::strerror(errno ? errno : ENOTDIR));
    return success();
}

namespace {

// The settings folder a desktop's own rules name: only the folder itself is
// made (private to the user, as the XDG rules ask), never the path to it, so
// a home that does not exist is not conjured up.
Result<void> createOwnFolder(const std::string& dir) {
    struct stat st;
    if (stat(dir.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return success();
        return failure("cannot use the folder " + dir + ": " + std::strerror(ENOTDIR));
    }
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        return failure("cannot create the folder " + dir + ": " + std::strerror(errno));
    return success();
}

}  // namespace

Result<std::string> commonAppDataDir() {
    const auto trimmed = [](std::string dir) {
        while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
        return dir;
    };
    // Our own variable names the folder outright, made with its parents.
    const std::string own = getEnv("QUESSANTA_COMMON_APPDATA");
    if (!own.empty()) {
        const std::string dir = trimmed(own);
        if (Result<void> made = createFolders(dir); !made) return made.error();
        return dir;
    }
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the XDG rules
    // say: it would name another folder from every working folder.
    std::string dir = getEnv("XDG_CONFIG_HOME");
    if (dir.empty() || dir[0] != '/') {
        const std::string home = getEnv("HOME");
        if (home.empty())
            return failure("no settings folder: QUESSANTA_COMMON_APPDATA, XDG_CONFIG_HOME and HOME are all unset");
        struct stat st;
        if (stat(home.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return failure("no settings folder: the home folder " + home + " does not exist");
        dir = trimmed(home) + "/.config";
    }
    dir = trimmed(dir);
    if (Result<void> made = createOwnFolder(dir); !made) return made.error();
    return dir;
}

Result<std::string> settingsFilePath() {
    Result<std::string> dir = commonAppDataDir();
    if (!dir) return dir.error();
    return *dir + "/Zandrim_Quessanta_cfg";
}

std::string getEnv(const char* name) {
    const char* v = std::getenv(name);
    return (v && *v) ? std::string(v) : std::string();
}

void putEnv(const char* name, const char* value) { setenv(name, value, 1); }

std::vector<std::string> commandLineArguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

// A terminal or the host's log shows stderr.
void showFatalError(const std::string& line) {
    std::fprintf(stderr, "%s: %s\n", programName().c_str(), line.c_str());
    std::fflush(stderr);
}

namespace {

const int passedSignals[] = {SIGTERM, SIGINT, SIGHUP};

struct LaunchState {
    // The program being waited for, to which stop signals are passed on: the
    // launcher must not end and leave it running.
    volatile pid_t waitedChild = 0;
};

LaunchState launch;

void passOnStopSignal(int sig) {
    if (launch.waitedChild > 0) kill(launch.waitedChild, sig);
}

// Its exit code, or 128 + the signal that ended it.
int exitCodeOf(int status) {
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace

Result<int> launchProgram(const std::string& fileName, bool wait) {
    const std::string path = installDir() + fileName;
    // The program finds its files through it too, from the folder it starts in.
    if (!getEnv("QUESSANTA_PATH").empty()) setenv("QUESSANTA_PATH", installDir().c_str(), 1);
    std::string workDir = path;
    std::string::size_type slash = workDir.rfind('/');
    if (slash != std::string::npos) workDir.erase(slash == 0 ? 1 : slash);

    // The child reports a failed chdir or exec through this pipe, so the
    // parent can tell the user instead of reporting success.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return failure("cannot start " + path + ": " + std::strerror(errno));
    // Stop signals are held back from before the fork until the forwarding
    // handlers know the child, so none can end the launcher alone.
    sigset_t stops, oldMask;
    sigemptyset(&stops);
    for (int sig : passedSignals) sigaddset(&stops, sig);
    if (wait) sigprocmask(SIG_BLOCK, &stops, &oldMask);
    pid_t pid = fork();
    if (pid < 0) {
        int err = errno;
        if (wait) sigprocmask(SIG_SETMASK, &oldMask, nullptr);
        close(fds[0]);
        close(fds[1]);
        return failure("cannot start " + path + ": " + std::strerror(err));
    }
    if (pid == 0) {
        if (wait) sigprocmask(SIG_SETMASK, &oldMask, nullptr);
        close(fds[0]);
        int err = 0;
        if (chdir(workDir.c_str()) != 0) {
            err = errno;
        } else {
            char* const argv[] = {const_cast<char*>(path.c_str()), nullptr};
            execv(path.c_str(), argv);
            err = errno;
        }
        ssize_t ignored = write(fds[1], &err, sizeof err);
        (void)ignored;
        _exit(127);
    }
    struct sigaction previous[3];
    if (wait) {
        struct sigaction action = {};
        action.sa_handler = passOnStopSignal;
        sigemptyset(&action.sa_mask);
        launch.waitedChild = pid;
        // One ignored here is ignored by the program too: nothing to pass on.
        for (int i = 0; i < 3; ++i)
            sigaction(passedSignals[i], keepsInheritedIgnore(passedSignals[i]) ? nullptr : &action, &previous[i]);
        sigprocmask(SIG_SETMASK, &oldMask, nullptr);
    }
    close(fds[1]);
    int childErr = 0;
    ssize_t got;
    do {
        got = read(fds[0], &childErr, sizeof childErr);
    } while (got < 0 && errno == EINTR);
    close(fds[0]);
    const bool started = got != static_cast<ssize_t>(sizeof childErr);
    int status = 0;
    pid_t reaped = 0;
    if (wait || !started) {
        do {
            reaped = waitpid(pid, &status, 0);
        } while (reaped < 0 && errno == EINTR);
    }
    if (wait) {
        for (int i = 0; i < 3; ++i) sigaction(passedSignals[i], &previous[i], nullptr);
        launch.waitedChild = 0;
    }
    if (!started) return failure("cannot start " + path + ": " + std::strerror(childErr));
    return wait ? (reaped == pid ? exitCodeOf(status) : 1) : 0;
}

bool parseDecimalWindowHandle(const std::string& text, std::uint64_t* id) {
    if (text.empty() || text.size() > 19) return false;
    std::uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
    }
    // X11 window ids are 29-bit values.
    if (v == 0 || v > 0x1FFFFFFFu) return false;
    *id = v;
    return true;
}

}  // namespace platform

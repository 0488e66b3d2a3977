// POSIX implementation of the platform layer's file services: regular-file
// reads (the whole-file reads on top are in common/), atomic replacement,
// folder locks. Covers Linux and other
// systems with flock and O_DIRECTORY; lacks nothing the program uses.
#include "platform/Platform.h"
#include "platform/common/TemporaryNames.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <optional>
#include <vector>

namespace platform {

namespace {

std::string errnoText(int err) { return std::strerror(err); }

bool readFully(int fd, unsigned char* into, std::size_t size, int* err) {
    while (size > 0) {
        const ssize_t n = read(fd, into, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            *err = errno;
            return false;
        }
        if (n == 0) {
            *err = 0;
            return false;
        }
        into += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool writeFully(int fd, const unsigned char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, bytes, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string folderOf(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

const int cleanupSignals[3] = {SIGTERM, SIGINT, SIGHUP};

struct FilesState {
    // The temporary file being written, for the stop-signal handler: a save
    // ended by a signal must not leave it behind.
    char pendingTemporary[4096] = {};
    volatile std::sig_atomic_t pendingSet = 0;
    // What the signals did before the guard, given back after it.
    struct sigaction previousActions[3] = {};
    struct sigaction previousFileSizeAction = {};
};

FilesState files;

void removePendingAndReraise(int sig) {
    if (files.pendingSet) unlink(files.pendingTemporary);
    signal(sig, SIG_DFL);
    raise(sig);
}

void guardTemporary(const std::string& temporary) {
    // A path too long to record is only left to the stale-file clean-up.
    files.pendingSet = 0;
    if (temporary.size() < sizeof files.pendingTemporary) {
        std::memcpy(files.pendingTemporary, temporary.c_str(), temporary.size() + 1);
        files.pendingSet = 1;
    }
    struct sigaction action = {};
    action.sa_handler = removePendingAndReraise;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < 3; ++i) {
        struct sigaction old = {};
        sigaction(cleanupSignals[i], nullptr, &old);
        files.previousActions[i] = old;
        // A signal already ignored stays ignored.
        if (old.sa_handler != SIG_IGN) sigaction(cleanupSignals[i], &action, nullptr);
    }
    // A file-size limit must show as a failed write, not end the process
    // between the write and the clean-up.
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGXFSZ, &ignore, &files.previousFileSizeAction);
}

void unguardTemporary() {
    for (int i = 0; i < 3; ++i) sigaction(cleanupSignals[i], &files.previousActions[i], nullptr);
    sigaction(SIGXFSZ, &files.previousFileSizeAction, nullptr);
    files.pendingSet = 0;
}

// Temporary files of a save that was killed before it could clean up. A
// minute is far longer than any save takes, so a running one is left alone.
void removeStaleTemporaries(const std::string& path) {
    const std::string folder = folderOf(path);
    const std::string base = baseNameOf(path);
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (!isTemporaryOf(name, base)) continue;
        const std::string full = folder + "/" + name;
        struct stat st;
        if (lstat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) continue;
        if (now - st.st_mtime > 60) unlink(full.c_str());
    }
    closedir(dir);
}

// The file a chain of symbolic links at path ends in (path itself when it
// is none, or the link that names a missing file): a save replaces that
// file and keeps the links. Nothing for a chain that never ends.
std::optional<std::string> followLinks(const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::vector<char> text(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = readlink(current.c_str(), text.data(), text.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= text.size()) return current;
        const std::string next(text.data(), static_cast<std::size_t>(n));
        current = next[0] == '/' ? next : folderOf(current) + "/" + next;
    }
    return std::nullopt;
}

mode_t modeFor(FileMode mode) {
    if (mode == FileMode::ReadableByAll) return 0644;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

Result<void> RegularFile::open(const std::string& path) {
    close();
    auto fail = [&](int err, const std::string& reason) {
        return failure(reason.empty() ? errnoText(err) : reason,
                       err == ENOENT ? ErrorKind::Missing : err == ENOMEM ? ErrorKind::OutOfMemory : ErrorKind::Other);
    };
    // Non-blocking, so that opening a FIFO does not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return fail(errno, "");
    struct stat st;
    if (fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return fail(err, "");
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(0, S_ISDIR(st.st_mode) ? "is a folder" : "not a regular file");
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    handle = fd;
    bytes = static_cast<std::uint64_t>(st.st_size);
    return success();
}

void RegularFile::close() {
    if (handle >= 0) ::close(static_cast<int>(handle));
    handle = -1;
    bytes = 0;
}

Result<void> RegularFile::read(void* into, std::size_t count) {
    int err = 0;
    if (handle >= 0 && readFully(static_cast<int>(handle), static_cast<unsigned char*>(into), count, &err))
        return success();
    return failure(handle < 0 ? "not open" : err ? errnoText(err) : "it became shorter while being read");
}

Result<void> RegularFile::readAt(std::uint64_t offset, void* into, std::size_t count) {
    if (handle >= 0 && lseek(static_cast<int>(handle), static_cast<off_t>(offset), SEEK_SET) < 0)
        return failure(errnoText(errno));
    return read(into, count);
}

Result<void> appendToRegularFile(const std::string& path, const std::string& bytes) {
    // Asked first, so that a device is never even opened; the open itself
    // cannot wait for a FIFO's reader, and what it opened is asked again.
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return failure(S_ISDIR(st.st_mode) ? "is a folder" : "not a regular file");
    const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) return failure(errno == ENXIO ? "not a regular file" : errnoText(errno));
    std::string error;
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (!ok) error = "not a regular file";
    if (ok && !writeFully(fd, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size())) {
        ok = false;
        error = errnoText(errno);
    }
    if (close(fd) != 0 && ok) {
        ok = false;
        error = errnoText(errno);
    }
    if (!ok) return failure(error);
    return success();
}

Result<void> writeFileBelow(const std::string& folder, const std::string& relative, const unsigned char* bytes,
                            std::size_t size) {
    const std::string shown = folder + relative;
    // Folder by folder from the trusted one, each opened without following a
    // link, so nothing can swap a link in between.
    int dir = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return failure("cannot create " + shown + ": " + errnoText(errno));
    std::string::size_type start = 0;
    for (;;) {
        const std::string::size_type slash = relative.find('/', start);
        const std::string part = relative.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        const std::string walked = folder + relative.substr(0, slash == std::string::npos ? relative.size() : slash);
        const bool last = slash == std::string::npos;
        struct stat st;
        const bool exists = !part.empty() && fstatat(dir, part.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
        const char* refusal = nullptr;
        if (exists && S_ISLNK(st.st_mode))
            refusal = " is a symbolic link; not followed";
        else if (exists && last && !S_ISREG(st.st_mode))
            refusal = " is not a regular file";
        if (refusal) {
            close(dir);
            return failure("cannot create " + shown + ": " + walked + refusal);
        }
        if (last) break;
        if (!part.empty()) {
            // A missing folder is made inside the one just opened; one that
            // appears meanwhile as a link is still not followed below.
            if (!exists && mkdirat(dir, part.c_str(), 0777) != 0 && errno != EEXIST) {
                const int err = errno;
                close(dir);
                return failure("cannot create " + shown + ": " + walked + ": " + errnoText(err));
            }
            const int next = openat(dir, part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            const int err = errno;
            close(dir);
            if (next < 0) return failure("cannot create " + shown + ": " + walked + ": " + errnoText(err));
            dir = next;
        }
        start = slash + 1;
    }
    const std::string name = relative.substr(start);
    const int fd = openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                          0666);
    const int openErr = errno;
    close(dir);
    if (fd < 0)
        return failure("cannot create " + shown + ": " + (openErr == ELOOP   ? "a symbolic link; not followed"
                                                          : openErr == ENXIO ? "not a regular file"
                                                                             : errnoText(openErr)));
    std::string error;
    struct stat st;
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (!ok) error = "cannot create " + shown + ": not a regular file";
    if (ok && !writeFully(fd, bytes, size)) {
        ok = false;
        error = "cannot write " + shown + ": " + errnoText(errno);
    }
    if (close(fd) != 0 && ok) {
        ok = false;
        error = "cannot write " + shown + ": " + errnoText(errno);
    }
    if (!ok) return failure(error);
    return success();
}

Result<void> replaceFile(const std::string& givenPath, const unsigned char* bytes, std::size_t size, FileMode mode) {
    const std::optional<std::string> target = followLinks(givenPath);
    if (!target) return failure("cannot replace " + givenPath + ": " + errnoText(ELOOP));
    const std::string& path = *target;
    const std::string folder = folderOf(path);
    removeStaleTemporaries(path);
    std::vector<char> name(path.begin(), path.end());
    const char suffix[] = ".XXXXXX";
    name.insert(name.end(), suffix, suffix + sizeof suffix);  // with the terminating zero
    // Blocked while the file is made and recorded, so a signal cannot slip in
    // between and leave it unrecorded.
    sigset_t stops, old;
    sigemptyset(&stops);
    for (int sig : cleanupSignals) sigaddset(&stops, sig);
    sigprocmask(SIG_BLOCK, &stops, &old);
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    const int createErr = errno;
    if (fd >= 0) guardTemporary(name.data());
    sigprocmask(SIG_SETMASK, &old, nullptr);
    if (fd < 0) return failure("cannot create a file in " + folder + ": " + errnoText(createErr));
    const std::string temporary = name.data();
    std::string error;
    bool ok = fchmod(fd, modeFor(mode)) == 0 && writeFully(fd, bytes, size) && fsync(fd) == 0;
    int err = errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && rename(temporary.c_str(), path.c_str()) != 0) {
        ok = false;
        err = errno;
        error = "cannot replace " + path + ": " + errnoText(err);
    } else if (!ok) {
        error = "cannot write " + temporary + ": " + errnoText(err);
    }
    if (!ok) unlink(temporary.c_str());
    unguardTemporary();
    if (!ok) return failure(error);
    // Makes the rename itself durable.
    const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return success();
}

FolderLock::FolderLock(const std::string& folder, int timeoutMs) {
    // The folder itself carries the lock: nothing is left behind in it.
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        reason = "cannot open " + folder + ": " + errnoText(errno);
        return;
    }
    // Asked again and again rather than waited for: a blocking flock cannot
    // be given a time limit.
    const double giveUp = monotonicSeconds() + timeoutMs / 1000.0;
    for (;;) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) break;
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) {
            reason = "cannot lock " + folder + ": " + errnoText(errno);
        } else if (monotonicSeconds() >= giveUp) {
            reason = "another program has held the lock on " + folder + " for " + std::to_string(timeoutMs / 1000) +
                     " seconds; giving up";
        } else {
            const timespec pause{0, 20 * 1000000L};
            nanosleep(&pause, nullptr);
            continue;
        }
        close(fd);
        return;
    }
    handle = fd;
}

FolderLock::~FolderLock() {
    if (handle >= 0) close(static_cast<int>(handle));  // releases the lock
}

}  // namespace platform

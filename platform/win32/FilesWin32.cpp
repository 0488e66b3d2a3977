// Windows implementation of the platform layer's file services: regular-file
// reads (the whole-file reads on top are in common/), atomic replacement
// with MoveFileExW, and folder locks as named mutexes. Paths are UTF-8 and
// reach the system as wide characters. Covers NTFS and the
// other local file systems; lacks file modes (the folder's inherited access
// rules apply) and the owner check before stale temporary files are removed
// (the access rules decide whether they can be).
#include "platform/Platform.h"
#include "platform/common/TemporaryNames.h"
#include "platform/win32/Win32Text.h"

#include <windows.h>
#include <sddl.h>

#include <cstdio>
#include <cstring>

namespace platform {

namespace {

HANDLE handleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

bool isMissing(DWORD err) { return err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND; }

std::string folderOf(const std::string& path) {
    const std::string::size_type slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return ".";
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    const std::string::size_type slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool writeFully(HANDLE file, const unsigned char* bytes, std::size_t size) {
    while (size > 0) {
        const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, bytes, chunk, &written, nullptr) || written == 0) return false;
        bytes += written;
        size -= written;
    }
    return true;
}

struct FilesState {
    // The generator of temporary names (splitmix64), seeded on first use.
    std::uint64_t nameState = 0;
    // The temporary file being written, for the console's stop events: a
    // save ended by one must not leave it behind.
    wchar_t pendingTemporary[MAX_PATH * 2] = {};
    volatile LONG pendingSet = 0;
};

FilesState files;

// The suffix of a temporary file: a dot and six letters, as on the other
// systems, from a generator seeded differently in every process and call.
std::string randomSuffix() {
    std::uint64_t& state = files.nameState;
    if (state == 0) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        state = static_cast<std::uint64_t>(now.QuadPart) ^ (static_cast<std::uint64_t>(GetCurrentProcessId()) << 32);
    }
    // splitmix64
    state += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    std::string suffix = ".";
    for (int i = 0; i < 6; ++i, z /= 52) {
        const int k = static_cast<int>(z % 52);
        suffix += static_cast<char>(k < 26 ? 'a' + k : 'A' + k - 26);
    }
    return suffix;
}

BOOL WINAPI removePendingAndEnd(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT &&
        event != CTRL_LOGOFF_EVENT && event != CTRL_SHUTDOWN_EVENT)
        return FALSE;
    // The file is open with delete sharing: it goes when the process ends.
    if (files.pendingSet) DeleteFileW(files.pendingTemporary);
    // Ends as the system's own handler would.
    TerminateProcess(GetCurrentProcess(), STATUS_CONTROL_C_EXIT);
    return TRUE;
}

// From before the temporary file is made until it is gone or renamed, so
// that no stop event can slip in between and leave it unrecorded.
void guardTemporaries() {
    InterlockedExchange(&files.pendingSet, 0);
    SetConsoleCtrlHandler(removePendingAndEnd, TRUE);
}

void recordTemporary(const std::string& temporary) {
    // A path too long to record is only left to the stale-file clean-up.
    const std::wstring wide = win32::widen(temporary);
    if (wide.size() < sizeof files.pendingTemporary / sizeof files.pendingTemporary[0]) {
        std::memcpy(files.pendingTemporary, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
        InterlockedExchange(&files.pendingSet, 1);
    }
}

void unguardTemporary() {
    SetConsoleCtrlHandler(removePendingAndEnd, FALSE);
    InterlockedExchange(&files.pendingSet, 0);
}

std::uint64_t ticksOf(const FILETIME& t) {
    return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

// Temporary files of a save that was killed before it could clean up. A
// minute is far longer than any save takes, so a running one is left alone.
void removeStaleTemporaries(const std::string& path) {
    const std::string folder = folderOf(path);
    const std::string base = baseNameOf(path);
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(win32::widen(folder + "\\" + base + ".*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t minute = 60ull * 10000000ull;  // in 100 ns steps
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
        const std::string name = win32::narrow(found.cFileName);
        if (!isTemporaryOf(name, base)) continue;
        const std::uint64_t written = ticksOf(found.ftLastWriteTime);
        if (ticksOf(now) > written && ticksOf(now) - written > minute)
            DeleteFileW(win32::widen(folder + "\\" + name).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// The lock's name: one per folder however the path is spelt (separators,
// case, relative or not). Mutex names may not contain '\', so a hash.
std::string lockNameOf(const std::string& folder) {
    wchar_t full[MAX_PATH * 2];
    const DWORD n = GetFullPathNameW(win32::widen(folder).c_str(), sizeof full / sizeof full[0], full, nullptr);
    std::string path = n > 0 && n < sizeof full / sizeof full[0] ? win32::narrow(std::wstring(full, n)) : folder;
    for (char& c : path) {
        if (c == '/') c = '\\';
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    while (path.size() > 1 && path.back() == '\\') path.pop_back();
    std::uint64_t hash = 0xCBF29CE484222325ull;  // FNV-1a
    for (unsigned char c : path) hash = (hash ^ c) * 0x100000001B3ull;
    char name[64];
    std::snprintf(name, sizeof name, "Global\\Zandrim_Quessanta_lock_%016llx", static_cast<unsigned long long>(hash));
    return name;
}

// The file a symbolic link at path leads to (path itself when it is none):
// a save replaces that file and keeps the link. A link to a missing file is
// replaced itself: the system can only name the end of a link that opens.
std::string linkTarget(const std::string& path) {
    const std::wstring wide = win32::widen(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return path;
    const HANDLE file = CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return path;
    wchar_t final[MAX_PATH * 2];
    const DWORD n = GetFinalPathNameByHandleW(file, final, sizeof final / sizeof final[0],
                                              FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    CloseHandle(file);
    if (n == 0 || n >= sizeof final / sizeof final[0]) return path;
    std::string target = win32::narrow(std::wstring(final, n));
    // "\\?\C:\..." or "\\?\UNC\server\...": the plain spelling.
    if (target.compare(0, 8, "\\\\?\\UNC\\") == 0) return "\\\\" + target.substr(8);
    if (target.compare(0, 4, "\\\\?\\") == 0) return target.substr(4);
    return target;
}

}  // namespace

Result<void> RegularFile::open(const std::string& path) {
    close();
    auto fail = [&](DWORD err, const std::string& reason) {
        return failure(reason.empty() ? win32::errorText(err) : reason,
                       isMissing(err)                   ? ErrorKind::Missing
                       : err == ERROR_NOT_ENOUGH_MEMORY ? ErrorKind::OutOfMemory
                                                        : ErrorKind::Other);
    };
    // Backup semantics open a folder too, so that it can be told apart; a
    // pipe or device opens without waiting and is refused below. Shared for
    // writing and deleting, so that a save can replace the file meanwhile.
    const HANDLE file = CreateFileW(win32::widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return fail(GetLastError(), "");
    BY_HANDLE_FILE_INFORMATION info;
    const char* refusal = nullptr;
    if (GetFileType(file) != FILE_TYPE_DISK) {
        refusal = "not a regular file";
    } else if (!GetFileInformationByHandle(file, &info)) {
        const DWORD err = GetLastError();
        CloseHandle(file);
        return fail(err, "");
    } else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        refusal = "is a folder";
    }
    if (refusal) {
        CloseHandle(file);
        return fail(0, refusal);
    }
    handle = reinterpret_cast<std::intptr_t>(file);
    bytes = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return success();
}

void RegularFile::close() {
    if (handle != -1) CloseHandle(handleOf(handle));
    handle = -1;
    bytes = 0;
}

Result<void> RegularFile::read(void* into, std::size_t count) {
    auto fail = [](const std::string& reason) { return failure(reason); };
    if (handle == -1) return fail("not open");
    unsigned char* at = static_cast<unsigned char*>(into);
    while (count > 0) {
        const DWORD chunk = count > (1u << 30) ? (1u << 30) : static_cast<DWORD>(count);
        DWORD got = 0;
        if (!ReadFile(handleOf(handle), at, chunk, &got, nullptr)) return fail(win32::errorText(GetLastError()));
        if (got == 0) return fail("it became shorter while being read");
        at += got;
        count -= got;
    }
    return success();
}

Result<void> RegularFile::readAt(std::uint64_t offset, void* into, std::size_t count) {
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (handle != -1 && !SetFilePointerEx(handleOf(handle), position, nullptr, FILE_BEGIN))
        return failure(win32::errorText(GetLastError()));
    return read(into, count);
}

Result<void> appendToRegularFile(const std::string& path, const std::string& bytes) {
    // A pipe or device opens without waiting and is refused below; a folder
    // does not open for appending.
    const HANDLE file = CreateFileW(win32::widen(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return failure(win32::errorText(GetLastError()));
    std::string error;
    bool ok = GetFileType(file) == FILE_TYPE_DISK;
    if (!ok) error = "not a regular file";
    if (ok && !writeFully(file, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size())) {
        ok = false;
        error = win32::errorText(GetLastError());
    }
    CloseHandle(file);
    if (!ok) return failure(error);
    return success();
}

Result<void> writeFileBelow(const std::string& folder, const std::string& relative, const unsigned char* bytes,
                            std::size_t size) {
    const std::string shown = folder + relative;
    // Each step below the trusted folder is asked before the file is made:
    // a link or junction on the way refuses the write.
    for (std::string::size_type at = 0;; ++at) {
        const std::string::size_type slash = relative.find_first_of("\\/", at);
        const std::string walked = folder + relative.substr(0, slash);
        const DWORD attributes = GetFileAttributesW(win32::widen(walked).c_str());
        const bool last = slash == std::string::npos;
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            return failure("cannot create " + shown + ": " + walked + " is a symbolic link; not followed");
        if (last && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return failure("cannot create " + shown + ": " + walked + " is not a regular file");
        if (last) break;
        // A missing folder on the way is made.
        if (attributes == INVALID_FILE_ATTRIBUTES && !CreateDirectoryW(win32::widen(walked).c_str(), nullptr) &&
            GetLastError() != ERROR_ALREADY_EXISTS)
            return failure("cannot create " + shown + ": " + walked + ": " + win32::errorText(GetLastError()));
        at = slash;
    }
    const HANDLE file = CreateFileW(win32::widen(shown).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return failure("cannot create " + shown + ": " + win32::errorText(GetLastError()));
    std::string error;
    bool ok = GetFileType(file) == FILE_TYPE_DISK;
    if (!ok) error = "cannot create " + shown + ": not a regular file";
    if (ok && !writeFully(file, bytes, size)) {
        ok = false;
        error = "cannot write " + shown + ": " + win32::errorText(GetLastError());
    }
    CloseHandle(file);
    if (!ok) return failure(error);
    return success();
}

Result<void> replaceFile(const std::string& givenPath, const unsigned char* bytes, std::size_t size, FileMode) {
    const std::string path = linkTarget(givenPath);
    const std::string folder = folderOf(path);
    removeStaleTemporaries(path);
    guardTemporaries();
    std::string temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD err = 0;
    // A name another save took meanwhile is tried again with new letters.
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = path + randomSuffix();
        file = CreateFileW(win32::widen(temporary).c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        err = GetLastError();
        if (file == INVALID_HANDLE_VALUE && err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) break;
    }
    if (file == INVALID_HANDLE_VALUE) {
        unguardTemporary();
        return failure("cannot create a file in " + folder + ": " + win32::errorText(err));
    }
    recordTemporary(temporary);
    std::string error;
    bool ok = writeFully(file, bytes, size) && FlushFileBuffers(file);
    err = GetLastError();
    if (!CloseHandle(file) && ok) {
        ok = false;
        err = GetLastError();
    }
    if (!ok) {
        error = "cannot write " + temporary + ": " + win32::errorText(err);
    } else if (!MoveFileExW(win32::widen(temporary).c_str(), win32::widen(path).c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ok = false;
        error = "cannot replace " + path + ": " + win32::errorText(GetLastError());
    }
    if (!ok) DeleteFileW(win32::widen(temporary).c_str());
    unguardTemporary();
    if (!ok) return failure(error);
    return success();
}

FolderLock::FolderLock(const std::string& folder, int timeoutMs) {
    const DWORD attributes = GetFileAttributesW(win32::widen(folder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        reason = "cannot open " + folder + ": " +
                 (attributes == INVALID_FILE_ATTRIBUTES ? win32::errorText(GetLastError()) : "not a folder");
        return;
    }
    // Any user may wait for and release the mutex (the settings folder is
    // shared by all users); only its creator may change that.
    SECURITY_ATTRIBUTES security = {};
    security.nLength = sizeof security;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;0x00100001;;;WD)", SDDL_REVISION_1, &descriptor,
                                                             nullptr))
        security.lpSecurityDescriptor = descriptor;
    const HANDLE mutex = CreateMutexW(&security, FALSE, win32::widen(lockNameOf(folder)).c_str());
    const DWORD createErr = GetLastError();
    if (descriptor) LocalFree(descriptor);
    if (!mutex) {
        reason = "cannot lock " + folder + ": " + win32::errorText(createErr);
        return;
    }
    // An abandoned mutex (its holder ended without releasing it) is ours.
    const DWORD waited = WaitForSingleObject(mutex, static_cast<DWORD>(timeoutMs));
    if (waited == WAIT_TIMEOUT) {
        reason = "another program has held the lock on " + folder + " for " + std::to_string(timeoutMs / 1000) +
                 " seconds; giving up";
        CloseHandle(mutex);
        return;
    }
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        reason = "cannot lock " + folder + ": " + win32::errorText(GetLastError());
        CloseHandle(mutex);
        return;
    }
    handle = reinterpret_cast<std::intptr_t>(mutex);
}

FolderLock::~FolderLock() {
    if (handle >= 0) {
        ReleaseMutex(handleOf(handle));
        CloseHandle(handleOf(handle));
    }
}

}  // namespace platform

// Windows implementation of the platform layer's process, environment and
// folder services. Covers 64-bit Windows 7 and later, and Wine: the
// installation directory from the environment, the installer's registry
// value or the executable's folder; the settings folder from the shell.
// Lacks paths the ANSI code page cannot spell (the ...A functions are used
// throughout, as SDL 1.2 does).
#include "platform/Platform.h"
#include "platform/win32/Win32Text.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace platform {

const char* const screensaverProgram = "Quessanta.exe";
const char* const settingsProgram = "config.exe";

namespace win32 {

std::string errorText(unsigned long code) {
    char* text = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result = length && text ? std::string(text, length) : std::string();
    if (text) LocalFree(text);
    while (!result.empty() && (result.back() == '\r' || result.back() == '\n' || result.back() == ' ' ||
                               result.back() == '.'))
        result.pop_back();
    if (result.empty()) result = "error " + std::to_string(code);
    return result;
}

}  // namespace win32

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

std::string withSeparator(std::string dir) {
    if (dir.empty() || !isSeparator(dir.back())) dir += '\\';
    return dir;
}

// What the installer recorded: "Path" under
// HKEY_LOCAL_MACHINE\Software\Zandrim\Quessanta\Settings, in the 64-bit
// view it wrote to.
std::string registryInstallDir() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Zandrim\\Quessanta\\Settings", 0,
                      KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return std::string();
    char value[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH;  // one byte kept for the zero the value may lack
    DWORD type = 0;
    const LONG rc = RegQueryValueExA(key, "Path", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::string();
    value[size < sizeof value ? size : sizeof value - 1] = '\0';
    if (type == REG_SZ) return value;
    char expanded[MAX_PATH + 1];
    const DWORD n = ExpandEnvironmentStringsA(value, expanded, sizeof expanded);
    return n > 0 && n <= sizeof expanded ? std::string(expanded) : std::string();
}

std::string executableFolder() {
    char path[MAX_PATH + 1];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::string();
    std::string dir(path, n);
    const std::string::size_type slash = dir.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : dir.substr(0, slash + 1);
}

bool isFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder without trailing separators, except that a drive's root keeps
// its own ("C:\").
std::string withoutSeparator(std::string dir) {
    while (dir.size() > 1 && isSeparator(dir.back()) && !(dir.size() == 3 && dir[1] == ':')) dir.pop_back();
    return dir;
}

// Stop requests while a launched program runs: the console delivers them to
// that program too, which ends and so ends the wait.
BOOL WINAPI ignoreWhileWaiting(DWORD) { return TRUE; }

}  // namespace

std::string installDir() {
    std::string dir = getEnv("QUESSANTA_PATH");
    // Absolute, so that it still holds after a launch changes folder.
    if (!dir.empty()) {
        char full[MAX_PATH * 2];
        const DWORD n = GetFullPathNameA(dir.c_str(), sizeof full, full, nullptr);
        if (n > 0 && n < sizeof full) dir.assign(full, n);
    }
    if (dir.empty()) dir = registryInstallDir();
    if (dir.empty()) dir = executableFolder();
    if (dir.empty()) dir = ".";
    return withSeparator(dir);
}

// Creates each missing folder along the path, which may use '\' or '/'. A
// part that cannot be made (a drive, a server's name) is left to the final
// check.
bool createFolders(const std::string& path, std::string* error) {
    if (path.empty()) {
        *error = "cannot create a folder with an empty name";
        return false;
    }
    for (std::string::size_type i = 1; i < path.size(); ++i)
        if (isSeparator(path[i]) && !isSeparator(path[i - 1])) CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    const DWORD failure = CreateDirectoryA(path.c_str(), nullptr) ? 0 : GetLastError();
    if (isFolder(path)) return true;
    *error = "cannot create the folder " + path + ": " + win32::errorText(failure ? failure : ERROR_DIRECTORY);
    return false;
}

std::string commonAppDataDir(std::string* reason) {
    std::string dir = getEnv("QUESSANTA_COMMON_APPDATA");
    if (dir.empty()) {
        char path[MAX_PATH + 1];
        const HRESULT rc =
            SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path);
        if (rc != S_OK) {
            if (reason) *reason = "no settings folder: the common application data folder is unknown (" +
                                  win32::errorText(static_cast<unsigned long>(rc)) + ")";
            return std::string();
        }
        dir = path;
    }
    dir = withoutSeparator(dir);
    std::string error;
    if (createFolders(dir, &error)) return dir;
    if (reason) *reason = error;
    return std::string();
}

std::string settingsFilePath(std::string* reason) {
    const std::string dir = commonAppDataDir(reason);
    if (dir.empty()) return std::string();
    return (isSeparator(dir.back()) ? dir : dir + "\\") + "Zandrim_Quessanta_cfg";
}

std::string getEnv(const char* name) {
    const char* v = std::getenv(name);
    return (v && *v) ? std::string(v) : std::string();
}

void putEnv(const char* name, const char* value) {
    const std::string entry = std::string(name) + "=" + value;
    _putenv(entry.c_str());
    // Programs started with CreateProcess inherit the system's copy.
    SetEnvironmentVariableA(name, value);
}

bool launchProgram(const std::string& fileName, bool wait, int* exitStatus) {
    const std::string dir = installDir();
    const std::string path = dir + fileName;
    const std::string workDir = withoutSeparator(dir);
    // The program finds its files through it too, from the folder it starts in.
    if (!getEnv("QUESSANTA_PATH").empty()) putEnv("QUESSANTA_PATH", dir.c_str());
    if (exitStatus) *exitStatus = 0;
    // The command line names only the program: it gets no arguments.
    const std::string quoted = "\"" + path + "\"";
    std::vector<char> commandLine(quoted.begin(), quoted.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (wait) SetConsoleCtrlHandler(ignoreWhileWaiting, TRUE);
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, workDir.c_str(),
                        &startup, &process)) {
        const DWORD err = GetLastError();
        if (wait) SetConsoleCtrlHandler(ignoreWhileWaiting, FALSE);
        std::fprintf(stderr, "Cannot start %s: %s\n", path.c_str(), win32::errorText(err).c_str());
        return false;
    }
    CloseHandle(process.hThread);
    if (wait) {
        DWORD code = 1;
        if (WaitForSingleObject(process.hProcess, INFINITE) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(process.hProcess, &code))
            code = 1;
        SetConsoleCtrlHandler(ignoreWhileWaiting, FALSE);
        if (exitStatus) *exitStatus = static_cast<int>(code);
    }
    CloseHandle(process.hProcess);
    return true;
}

bool parseWindowId(const std::string& text, std::uint64_t* id) {
    if (text.empty() || text.size() > 10) return false;
    std::uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
    }
    // Only the low 32 bits of a window handle are significant, on 64-bit
    // Windows too.
    if (v == 0 || v > 0xFFFFFFFFu) return false;
    *id = v;
    return true;
}

}  // namespace platform

// Windows implementation of the platform layer's process, environment and
// folder services. Covers 64-bit Windows 7 and later, and Wine: the
// installation directory from the environment, the installer's registry
// value or the executable's folder; the settings folder from the shell.
// Text is UTF-8 inside the program and wide characters towards the system
// (the ...W functions throughout), so folders in any script work; a
// launched screensaver is held in a job that ends it with its launcher.
// Lacks job nesting before Windows 8: where the launcher already runs in a
// job that forbids another, the screensaver runs untied.
#include "platform/Platform.h"
#include "platform/win32/ProgramStart.h"
#include "platform/win32/Win32Text.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <io.h>
#include <vector>

namespace platform {

const char* const screensaverProgram = "Quessanta.exe";
const char* const settingsProgram = "config.exe";

namespace win32 {

std::wstring widen(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], n);
    return wide;
}

std::string narrow(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], n, nullptr, nullptr);
    return utf8;
}

std::string errorText(unsigned long code) {
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string result = length && text ? narrow(std::wstring(text, length)) : std::string();
    if (text) LocalFree(text);
    while (!result.empty() && (result.back() == '\r' || result.back() == '\n' || result.back() == ' ' ||
                               result.back() == '.'))
        result.pop_back();
    if (result.empty()) result = "error " + std::to_string(code);
    return result;
}

}  // namespace win32

using win32::narrow;
using win32::widen;

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
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Zandrim\\Quessanta\\Settings", 0,
                      KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return std::string();
    DWORD type = 0, size = 0;
    LONG rc = RegQueryValueExW(key, L"Path", nullptr, &type, nullptr, &size);
    // Room for the terminating zero the value may lack.
    std::vector<wchar_t> value(size / sizeof(wchar_t) + 2, L'\0');
    if (rc == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
        size = static_cast<DWORD>((value.size() - 1) * sizeof(wchar_t));
        rc = RegQueryValueExW(key, L"Path", nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size);
    }
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::string();
    const std::wstring text(value.data());
    if (type == REG_SZ) return narrow(text);
    const DWORD n = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    std::vector<wchar_t> expanded(n + 1, L'\0');
    if (n == 0 || ExpandEnvironmentStringsW(text.c_str(), expanded.data(), n + 1) == 0) return std::string();
    return narrow(expanded.data());
}

std::string executableFolder() {
    // Long paths need more than MAX_PATH: the buffer grows until it holds it.
    std::vector<wchar_t> path(MAX_PATH + 1);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return std::string();
        if (n < path.size()) {
            const std::string dir = narrow(std::wstring(path.data(), n));
            const std::string::size_type slash = dir.find_last_of("\\/");
            return slash == std::string::npos ? std::string() : dir.substr(0, slash + 1);
        }
        if (path.size() > 32768) return std::string();
        path.resize(path.size() * 2);
    }
}

bool isFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder without trailing separators, except that a drive's root keeps
// its own ("C:\").
std::string withoutSeparator(std::string dir) {
    while (dir.size() > 1 && isSeparator(dir.back()) && !(dir.size() == 3 && dir[1] == ':')) dir.pop_back();
    return dir;
}

}  // namespace

namespace win32 {

BOOL WINAPI ignoreWhileWaiting(DWORD) { return TRUE; }

HANDLE makeTyingJob() {
    const HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (!job) return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        CloseHandle(job);
        return nullptr;
    }
    return job;
}

Result<HANDLE> startProgram(const std::string& fileName, HANDLE job) {
    const std::string dir = installDir();
    const std::string path = dir + fileName;
    const std::wstring widePath = widen(path), workDir = widen(withoutSeparator(dir));
    // The program finds its files through it too, from the folder it starts in.
    if (!getEnv("QUESSANTA_PATH").empty()) putEnv("QUESSANTA_PATH", dir.c_str());
    // The command line names only the program: it gets no arguments.
    std::wstring commandLine = L"\"" + widePath + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // It starts held, so that it is in the job before it runs at all.
    if (!CreateProcessW(widePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, job ? CREATE_SUSPENDED : 0,
                        nullptr, workDir.c_str(), &startup, &process))
        return failure("cannot start " + path + ": " + win32::errorText(GetLastError()));
    if (job) {
        AssignProcessToJobObject(job, process.hProcess);
        ResumeThread(process.hThread);
    }
    CloseHandle(process.hThread);
    return process.hProcess;
}

}  // namespace win32

std::string installDir() {
    std::string dir = getEnv("QUESSANTA_PATH");
    // Absolute, so that it still holds after a launch changes folder.
    if (!dir.empty()) {
        wchar_t full[MAX_PATH * 2];
        const DWORD n = GetFullPathNameW(widen(dir).c_str(), sizeof full / sizeof full[0], full, nullptr);
        if (n > 0 && n < sizeof full / sizeof full[0]) dir = narrow(std::wstring(full, n));
    }
    if (dir.empty()) dir = registryInstallDir();
    if (dir.empty()) dir = executableFolder();
    if (dir.empty()) dir = ".";
    return withSeparator(dir);
}

// Creates each missing folder along the path, which may use '\' or '/'. A
// part that cannot be made (a drive, a server's name) is left to the final
// check.
Result<void> createFolders(const std::string& path) {
    if (path.empty()) return failure("cannot create a folder with an empty name");
    for (std::string::size_type i = 1; i < path.size(); ++i)
        if (isSeparator(path[i]) && !isSeparator(path[i - 1]))
            CreateDirectoryW(widen(path.substr(0, i)).c_str(), nullptr);
    const DWORD err = CreateDirectoryW(widen(path).c_str(), nullptr) ? 0 : GetLastError();
    if (isFolder(path)) return success();
    return failure("cannot create the folder " + path + ": " + win32::errorText(err ? err : ERROR_DIRECTORY));
}

Result<std::string> commonAppDataDir() {
    std::string dir = getEnv("QUESSANTA_COMMON_APPDATA");
    if (dir.empty()) {
        wchar_t path[MAX_PATH + 1];
        const HRESULT rc =
            SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path);
        if (rc != S_OK)
            return failure("no settings folder: the common application data folder is unknown (" +
                           win32::errorText(static_cast<unsigned long>(rc)) + ")");
        dir = narrow(path);
    }
    dir = withoutSeparator(dir);
    if (Result<void> made = createFolders(dir); !made) return made.error();
    return dir;
}

Result<std::string> settingsFilePath() {
    const Result<std::string> dir = commonAppDataDir();
    if (!dir) return dir.error();
    return (isSeparator(dir->back()) ? *dir : *dir + "\\") + "Zandrim_Quessanta_cfg";
}

std::vector<std::string> commandLineArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) args.push_back(narrow(wide[i]));
    LocalFree(wide);
    return args;
}

void showFatalError(const std::string& message) {
    const std::string line = programName() + ": " + message;
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
    // A console shows it already (config.exe run from one).
    DWORD mode = 0;
    const HANDLE err = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stderr)));
    if (err != INVALID_HANDLE_VALUE && GetConsoleMode(err, &mode)) return;
    MessageBoxW(nullptr, widen(line).c_str(), L"Quessanta", MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
}

std::string getEnv(const char* name) {
    const std::wstring wideName = widen(name);
    const DWORD n = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (n <= 1) return std::string();
    std::vector<wchar_t> value(n, L'\0');
    const DWORD got = GetEnvironmentVariableW(wideName.c_str(), value.data(), n);
    return got > 0 && got < n ? narrow(std::wstring(value.data(), got)) : std::string();
}

void putEnv(const char* name, const char* value) {
    // The C library's copy, which SDL reads, and the system's, which
    // programs started with CreateProcess inherit.
    const std::wstring entry = widen(name) + L"=" + widen(value);
    _wputenv(entry.c_str());
    SetEnvironmentVariableW(widen(name).c_str(), widen(value).c_str());
}

Result<int> launchProgram(const std::string& fileName, bool wait) {
    const HANDLE job = wait ? win32::makeTyingJob() : nullptr;
    if (wait) SetConsoleCtrlHandler(win32::ignoreWhileWaiting, TRUE);
    const Result<HANDLE> started = win32::startProgram(fileName, job);
    if (!started) {
        if (wait) SetConsoleCtrlHandler(win32::ignoreWhileWaiting, FALSE);
        if (job) CloseHandle(job);
        return started.error();
    }
    const HANDLE process = *started;
    int exitStatus = 0;
    if (wait) {
        DWORD code = 1;
        if (WaitForSingleObject(process, INFINITE) != WAIT_OBJECT_0 || !GetExitCodeProcess(process, &code)) code = 1;
        SetConsoleCtrlHandler(win32::ignoreWhileWaiting, FALSE);
        exitStatus = static_cast<int>(code);
    }
    if (job) CloseHandle(job);
    CloseHandle(process);
    return exitStatus;
}

bool parseDecimalWindowHandle(const std::string& text, std::uint64_t* id) {
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

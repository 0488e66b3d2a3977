// A screensaver settings' stand-in. For "/p": makes a window with a client
// area of WIDTH x HEIGHT, starts COMMAND with " /p <its handle>" appended,
// and reports on stdout what the program put into it, then destroys it and
// reports how the program ended:
//   child class=Zandrim size=152x112 children=1
//   exit=0
// With --settings, for "/c": starts COMMAND with " /c:<its handle>" twice
// and reports the settings dialog that opens, whether the window owns it
// and it stands centred over the window, and how many such dialogs there
// are after the second start; then cancels it:
//   dialog owner=host centred=yes dialogs=1
// Usage: host_window WIDTH HEIGHT COMMAND | host_window --settings COMMAND
// Exit code 0 when it got that far, 1 otherwise (with a line saying why).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Found {
    HWND child = nullptr;
    int count = 0;
};

BOOL CALLBACK onChild(HWND child, LPARAM data) {
    Found* found = reinterpret_cast<Found*>(data);
    if (!found->child) found->child = child;
    ++found->count;
    return TRUE;
}

// Keeps the window's messages flowing (creating a child in it and
// destroying it send messages here) for at most ms, or until the process
// ends.
void pump(HANDLE process, DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        const DWORD now = GetTickCount();
        if (static_cast<LONG>(end - now) <= 0) return;
        const DWORD waited = MsgWaitForMultipleObjects(process ? 1 : 0, &process, FALSE, end - now, QS_ALLINPUT);
        if (process && waited == WAIT_OBJECT_0) return;
    }
}

int say(const char* what, int code) {
    if (*what) std::printf("%s\n", what);
    std::fflush(stdout);
    return code;
}

// Runs COMMAND in the host window; the exit code of the helper.
int hostCommand(HWND host, const char* command) {
    std::string commandLine = std::string(command) + " /p " +
                              std::to_string(static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(host)));
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return say("cannot start the command", 1);
    CloseHandle(process.hThread);
    const HANDLE program = process.hProcess;

    Found found;
    for (int waited = 0; waited < 300 && !found.child; ++waited) {
        pump(program, 100);
        if (WaitForSingleObject(program, 0) == WAIT_OBJECT_0) break;
        found = Found();
        EnumChildWindows(host, onChild, reinterpret_cast<LPARAM>(&found));
    }
    if (!found.child) {
        DWORD code = 0;
        GetExitCodeProcess(program, &code);
        std::printf("no child window (the program %s, code %lu)\n",
                    WaitForSingleObject(program, 0) == WAIT_OBJECT_0 ? "ended" : "runs", code);
        TerminateProcess(program, 1);
        CloseHandle(program);
        return say("", 1);
    }
    char name[64] = {};
    GetClassNameA(found.child, name, sizeof name);
    RECT client = {};
    GetClientRect(found.child, &client);
    std::printf("child class=%s size=%ldx%ld children=%d\n", name, client.right - client.left,
                client.bottom - client.top, found.count);
    // Let it paint, then go away as the settings do when they close.
    pump(program, 1000);
    DestroyWindow(host);
    pump(program, 20000);
    if (WaitForSingleObject(program, 0) != WAIT_OBJECT_0) {
        TerminateProcess(program, 1);
        CloseHandle(program);
        return say("still running after the host window went", 1);
    }
    DWORD code = 0;
    GetExitCodeProcess(program, &code);
    CloseHandle(program);
    std::printf("exit=%lu\n", code);
    return say("", 0);
}

// Starts COMMAND with " /c:<host>" and waits for it to return.
bool startSettings(HWND host, const char* command) {
    std::string commandLine = std::string(command) + " /c:" +
                              std::to_string(static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(host)));
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    pump(process.hProcess, 30000);
    CloseHandle(process.hProcess);
    return true;
}

BOOL CALLBACK countDialog(HWND window, LPARAM data) {
    char name[64] = {}, title[64] = {};
    GetClassNameA(window, name, sizeof name);
    GetWindowTextA(window, title, sizeof title);
    if (std::string(name) == "#32770" && std::string(title) == "Quessanta Settings") ++*reinterpret_cast<int*>(data);
    return TRUE;
}

int settingsCommand(HWND host, const char* command) {
    if (!startSettings(host, command)) return say("cannot start the command", 1);
    HWND dialog = nullptr;
    for (int waited = 0; waited < 300 && !dialog; ++waited) {
        pump(nullptr, 100);
        dialog = FindWindowA("#32770", "Quessanta Settings");
    }
    if (!dialog) return say("no settings dialog", 1);
    pump(nullptr, 500);
    RECT h = {}, d = {};
    GetWindowRect(host, &h);
    GetWindowRect(dialog, &d);
    const long dx = (h.left + h.right) / 2 - (d.left + d.right) / 2, dy = (h.top + h.bottom) / 2 - (d.top + d.bottom) / 2;
    const HWND owner = GetWindow(dialog, GW_OWNER);
    if (!startSettings(host, command)) return say("cannot start the command again", 1);
    pump(nullptr, 3000);
    int dialogs = 0;
    EnumWindows(countDialog, reinterpret_cast<LPARAM>(&dialogs));
    std::printf("dialog owner=%s centred=%s dialogs=%d\n", owner == host ? "host" : owner ? "other" : "none",
                dx * dx + dy * dy <= 8 ? "yes" : "no", dialogs);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    pump(nullptr, 1000);
    return say("", 0);
}

}  // namespace

int main(int argc, char** argv) {
    const bool settings = argc == 3 && std::string(argv[1]) == "--settings";
    if (argc != 4 && !settings) return say("usage: host_window WIDTH HEIGHT COMMAND | host_window --settings COMMAND", 1);
    const int width = settings ? 400 : std::atoi(argv[1]), height = settings ? 300 : std::atoi(argv[2]);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = "QuessantaTestHost";
    if (!RegisterClassA(&windowClass)) return say("cannot register the host's class", 1);
    // No frame: the client area is the whole window.
    const HWND host = CreateWindowExA(0, windowClass.lpszClassName, "host", WS_POPUP | WS_VISIBLE, 40, 40, width,
                                      height, nullptr, nullptr, windowClass.hInstance, nullptr);
    int result = 1;
    if (host) {
        pump(nullptr, 200);
        result = settings ? settingsCommand(host, argv[2]) : hostCommand(host, argv[3]);
        if (IsWindow(host)) DestroyWindow(host);
    } else {
        say("cannot create the host window", 1);
    }
    UnregisterClassA(windowClass.lpszClassName, windowClass.hInstance);
    return result;
}

// The settings dialog of config.exe on Windows, from the resource in
// config.rc.in: every setting as a control, filled from the settings file and
// saved with OK through the same locked, atomic cycle as the command line
// (SettingsStore). Which control means which setting is decided in
// formats/DialogChoices, not here. It belongs to the window "/c:HWND"
// names (QUESSANTA_SETTINGS_OWNER) and opens centred over it; one dialog at
// a time: a second start brings the open one to the front. Built only for
// Windows.
#include "tools/config/SettingsDialog.h"

#include "formats/CommandLine.h"
#include "formats/DialogChoices.h"
#include "platform/Platform.h"
#include "platform/win32/Win32Text.h"
#include "tools/config/SettingsDialogIds.h"
#include "tools/config/SettingsStore.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>

namespace {

const wchar_t* const dialogTitle = L"Quessanta Settings";

void fillList(HWND dialog, int id, std::initializer_list<const wchar_t*> items, int selected) {
    for (const wchar_t* item : items)
        SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int selectedIn(HWND dialog, int id) {
    const LRESULT index = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? 0 : static_cast<int>(index);
}

// The lists' rows are in the order of the choices' enumerations.
void showChoices(HWND dialog, const DialogChoices& c) {
    CheckDlgButton(dialog, IDC_FPS, c.frameCounter ? BST_CHECKED : BST_UNCHECKED);
    fillList(dialog, IDC_CLOCK, {L"Off", L"Digital, 12-hour", L"Digital, 24-hour", L"Analogue"},
             static_cast<int>(c.clock));
    fillList(dialog, IDC_CLOCK_SIZE, {L"Large", L"Small"}, c.largeClock ? 0 : 1);
    fillList(dialog, IDC_CALENDAR, {L"Off", L"English", L"Russian"}, static_cast<int>(c.calendar));
    SendDlgItemMessageW(dialog, IDC_RESOLUTION, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"The desktop's"));
    for (int row = 1; row < Settings::resolutionCount; ++row) {
        const Settings::Resolution& r = Settings::resolutions[row];
        const std::wstring text = std::to_wstring(r.width) + L" x " + std::to_wstring(r.height);
        SendDlgItemMessageW(dialog, IDC_RESOLUTION, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendDlgItemMessageW(dialog, IDC_RESOLUTION, CB_SETCURSEL, static_cast<WPARAM>(c.resolution), 0);
    CheckDlgButton(dialog, IDC_EXIT_ON_MOUSE, c.exitOnMouseMove ? BST_CHECKED : BST_UNCHECKED);
}

DialogChoices readChoices(HWND dialog) {
    DialogChoices c;
    c.frameCounter = IsDlgButtonChecked(dialog, IDC_FPS) == BST_CHECKED;
    c.clock = static_cast<DialogChoices::Clock>(selectedIn(dialog, IDC_CLOCK));
    c.largeClock = selectedIn(dialog, IDC_CLOCK_SIZE) == 0;
    c.calendar = static_cast<DialogChoices::Calendar>(selectedIn(dialog, IDC_CALENDAR));
    c.resolution = selectedIn(dialog, IDC_RESOLUTION);
    c.exitOnMouseMove = IsDlgButtonChecked(dialog, IDC_EXIT_ON_MOUSE) == BST_CHECKED;
    return c;
}

// The window "/c:HWND" named, as the top-level window that owns dialogs
// (a child window cannot); null without one.
HWND ownerWindow() {
    const std::string text = platform::getEnv(dialogOwnerVariable);
    std::uint64_t id = 0;
    if (!platform::parseDecimalWindowHandle(text, &id)) return nullptr;
    const HWND window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(id));
    return IsWindow(window) ? GetAncestor(window, GA_ROOT) : nullptr;
}

// Over the middle of its owner, kept on the owner's monitor.
void centreOver(HWND dialog, HWND owner) {
    RECT own, box;
    if (!owner || !GetWindowRect(owner, &own) || !GetWindowRect(dialog, &box)) return;
    const LONG w = box.right - box.left, h = box.bottom - box.top;
    LONG x = (own.left + own.right - w) / 2, y = (own.top + own.bottom - h) / 2;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& area = monitor.rcWork;
        if (x + w > area.right) x = area.right - w;
        if (y + h > area.bottom) y = area.bottom - h;
        if (x < area.left) x = area.left;
        if (y < area.top) y = area.top;
    }
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            centreOver(dialog, reinterpret_cast<HWND>(lParam));
            const HINSTANCE instance = GetModuleHandleW(nullptr);
            const int big = GetSystemMetrics(SM_CXICON), small = GetSystemMetrics(SM_CXSMICON);
            SendMessageW(dialog, WM_SETICON, ICON_BIG,
                         reinterpret_cast<LPARAM>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, big, big, 0)));
            SendMessageW(dialog, WM_SETICON, ICON_SMALL,
                         reinterpret_cast<LPARAM>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, small, small, 0)));
            const Result<std::string> path = platform::settingsFilePath();
            showChoices(dialog, choicesFrom(loadSettings(path ? *path : std::string()).settings));
            return TRUE;  // the focus goes to the first control
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                const DialogChoices choices = readChoices(dialog);
                const Result<std::string> saved = saveSettings([&](Settings& s) { applyChoices(choices, s); });
                if (!saved) {
                    // The dialog stays open: the user may try again or cancel.
                    const std::string text = "The settings could not be saved:\n" + saved.message() +
                                             "\n\nThe settings saved before are unchanged.";
                    MessageBoxW(dialog, platform::win32::widen(text).c_str(), dialogTitle, MB_OK | MB_ICONERROR);
                    return TRUE;
                }
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

// The dialog another start of config.exe has open, brought to the front;
// false when there is none. It may still be on its way: asked for a moment.
bool raiseOpenDialog() {
    for (int tries = 0; tries < 50; ++tries) {
        const HWND open = FindWindowW(L"#32770", dialogTitle);
        if (open) {
            if (IsIconic(open)) ShowWindow(open, SW_RESTORE);
            SetForegroundWindow(open);
            return true;
        }
        Sleep(100);
    }
    return false;
}

}  // namespace

int runSettingsDialog() {
    // One per session: the name is held while the dialog is open.
    const HANDLE single = CreateMutexW(nullptr, FALSE, L"Local\\Zandrim_Quessanta_settings_dialog");
    if (single && GetLastError() == ERROR_ALREADY_EXISTS) {
        const bool raised = raiseOpenDialog();
        CloseHandle(single);
        if (raised) return 0;
        platform::showFatalError("another settings dialog is starting but does not show");
        return 1;
    }
    const HWND owner = ownerWindow();
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SETTINGS), owner,
                                           dialogProc, reinterpret_cast<LPARAM>(owner));
    const DWORD err = GetLastError();
    if (single) CloseHandle(single);
    if (result == -1 || result == 0) {
        platform::showFatalError("cannot show the settings dialog: error " + std::to_string(err));
        return 1;
    }
    return 0;
}

void attachToParentConsole() {
    // Redirected output already has somewhere to go.
    if (GetStdHandle(STD_OUTPUT_HANDLE) || GetStdHandle(STD_ERROR_HANDLE)) return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
}

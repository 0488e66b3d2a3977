// The settings dialog of config.exe on Windows, from the resource in
// config.rc: every setting as a control, filled from the settings file and
// saved with OK through the same locked, atomic cycle as the command line
// (SettingsStore). Which control means which setting is decided in
// formats/DialogChoices, not here. Built only for Windows.
#include "tools/config/SettingsDialog.h"

#include "formats/CommandLine.h"
#include "formats/DialogChoices.h"
#include "platform/Platform.h"
#include "tools/config/SettingsDialogIds.h"
#include "tools/config/SettingsStore.h"

#include <windows.h>

#include <cstdio>
#include <initializer_list>
#include <string>

namespace {

const char* const dialogTitle = "Quessanta Settings";

void fillList(HWND dialog, int id, std::initializer_list<const char*> items, int selected) {
    for (const char* item : items) SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int selectedIn(HWND dialog, int id) {
    const LRESULT index = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? 0 : static_cast<int>(index);
}

// The lists' rows are in the order of the choices' enumerations.
void showChoices(HWND dialog, const DialogChoices& c) {
    CheckDlgButton(dialog, IDC_FPS, c.frameCounter ? BST_CHECKED : BST_UNCHECKED);
    fillList(dialog, IDC_CLOCK, {"Off", "Digital, 12-hour", "Digital, 24-hour", "Analogue"},
             static_cast<int>(c.clock));
    fillList(dialog, IDC_CLOCK_SIZE, {"Large", "Small"}, c.largeClock ? 0 : 1);
    fillList(dialog, IDC_CALENDAR, {"Off", "English", "Russian"}, static_cast<int>(c.calendar));
    SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("The desktop's"));
    for (int row = 1; row < Settings::resolutionCount; ++row) {
        const Settings::Resolution& r = Settings::resolutions[row];
        const std::string text = std::to_string(r.width) + " x " + std::to_string(r.height);
        SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_SETCURSEL, static_cast<WPARAM>(c.resolution), 0);
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

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            showChoices(dialog, choicesFrom(loadSettings(platform::settingsFilePath()).settings));
            return TRUE;  // the focus goes to the first control
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                const DialogChoices choices = readChoices(dialog);
                std::string path, error;
                if (!saveSettings([&](Settings& s) { applyChoices(choices, s); }, &path, &error)) {
                    // The dialog stays open: the user may try again or cancel.
                    const std::string text = "The settings could not be saved:\n" + error +
                                             "\n\nThe settings saved before are unchanged.";
                    MessageBoxA(dialog, text.c_str(), dialogTitle, MB_OK | MB_ICONERROR);
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

}  // namespace

int runSettingsDialog() {
    const INT_PTR result =
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETTINGS), nullptr, dialogProc, 0);
    if (result == -1 || result == 0) {
        std::fprintf(stderr, "%s: cannot show the settings dialog: error %lu\n", programName().c_str(), GetLastError());
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

// The settings dialog's resource and control ids, shared by config.rc.in and
// SettingsDialogWin32.cpp.
#pragma once

#define IDD_SETTINGS 100
#define IDC_FPS 101
#define IDC_CLOCK 102
#define IDC_CLOCK_SIZE 103
#define IDC_CALENDAR 104
#define IDC_RESOLUTION 105
#define IDC_EXIT_ON_MOUSE 106

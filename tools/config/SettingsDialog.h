// The settings program's Windows face (SettingsDialogWin32.cpp, built only
// there): the dialog "/c" opens, and the console for the command line.
#pragma once

// Shows the settings dialog until OK or Cancel; OK saves the choices
// through saveSettings. The exit code: 0, or 1 when the dialog cannot be
// shown.
int runSettingsDialog();

// A GUI program's output goes nowhere: when started from a console without
// redirection, writes to that console instead.
void attachToParentConsole();

// The command "設定...": runs the options dialog and takes its working copy
// over into the running program.
#pragma once
#include <windows.h>

// While the dialog is open, the command only brings it to the front.
void RunOptionsDialog(HWND window);

// Takes app.pendingSettings over after the dialog ended with result (IDOK
// also saves every section; IDC_APPLY_NOSAVE saves nothing; IDCANCEL only
// gives the window its opacity back).
void TakeOverOptions(HWND window, int result);

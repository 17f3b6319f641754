// The options dialog OPTIONDLG: a tab control over four child pages that fill
// app.pendingSettings. Results: IDOK, IDC_APPLY_NOSAVE (apply without saving)
// or IDCANCEL.
#pragma once
#include <windows.h>

// Sent by the frame to each page: store your controls into the working copy.
enum : UINT { WM_OPTIONS_COLLECT = WM_USER + 1 };

INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

INT_PTR CALLBACK OperationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DisplayPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK LogPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ExtrasPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Fields of AppState owned by the options dialog.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include "settings/Settings.h"

// The dialog's working copy: one field per settings key (its gcolor points at
// an array of cpuCount + 1 entries of its own), plus the main window, whose
// opacity the operation page previews.
struct PendingSettings : Settings {
    HWND mainWindow = nullptr;
};

enum { OPTION_PAGE_COUNT = 4 };

struct OptionsState {
    PendingSettings pendingSettings;
    CHOOSECOLORA colorChooser = {};
    COLORREF customColors[16] = {};
    HWND optionPages[OPTION_PAGE_COUNT] = {};
    HWND optionsDialog = nullptr; // while the dialog is open
};

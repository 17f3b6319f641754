// Fields of AppState owned by the title-bar display.
#pragma once
#include <windows.h>

#include "titlebar/TitleFormats.h"

struct TitleState : TitleFormats {
    char loadText[80] = {};
    HWND titleTarget = nullptr;  // window whose caption carries the load text
    char savedCaption[256] = {}; // that window's own caption
};

// The Help command: the guide beside the program in the user's browser.
#pragma once
#include <windows.h>

void OpenHelp(HWND window);

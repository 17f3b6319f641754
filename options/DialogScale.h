// The scale of the monitor a dialog is on, for what a dialog draws or loads
// in pixels: its dialog units follow its font already, a font made in pixels
// or a bitmap does not.
#pragma once
#include <windows.h>

// Dots per inch of the window's monitor (96 at 100 %).
int DpiOf(HWND window);

// A length given for 96 dpi, at that scale.
int Scaled(int at96, int dpi);

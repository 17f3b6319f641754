// The skin background of every paint: fill, tiled back.bmp, edges, corners.
#pragma once
#include <windows.h>

// Composes into dc (backDC) over clientWidth x clientHeight.
void ComposeBackground(HDC dc);

// The window's outline: pure blue pixels of the composed picture in the
// frame bands are cut out.
#pragma once
#include <windows.h>

// Region of backBuffer (read through dc, which holds it). The caller hands
// it to SetWindowRgn, which takes ownership.
HRGN BuildWindowRegion(HDC dc);

// The same region built with one cut per transparent run: the slower way,
// kept to check and time the other against.
HRGN BuildWindowRegionPerRun(HDC dc);

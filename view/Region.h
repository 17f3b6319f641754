// The window's outline: pure blue pixels of the composed picture in the
// frame bands are cut out.
#pragma once
#include <windows.h>

// The header of a w x h bitmap of the given depth with row 0 on top, as the
// pixel reads and writes of the outline and the skin's scaling want it.
BITMAPINFO TopDownBitmapInfo(int w, int h, WORD bitCount);

// Region of backBuffer (read through dc, which holds it). The caller hands
// it to SetWindowRgn, which takes ownership.
HRGN BuildWindowRegion(HDC dc);

// The same region built with one cut per transparent run: the slower way,
// kept to check and time the other against.
HRGN BuildWindowRegionPerRun(HDC dc);

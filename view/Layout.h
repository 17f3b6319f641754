// Window size from the settings and the skin, the back buffer at that size,
// and the drawing objects made once with the window.
#pragma once
#include <windows.h>

#include <cstdint>

#include "view/Geometry.h"

// Fits colum and row of app to the processor count.
void FitMeterGrid(int32_t processorCount);

// The size LayoutWindow gives the window with the settings as they are now.
WindowSize LayoutSize(bool band);

// Sizes (and with move also places at x, y) the window, renewing backBuffer
// at the new size. band reserves the 40-pixel graph band.
void LayoutWindow(HWND window, int x, int y, bool move, bool band);

// meterFont from font and fontsize; memFont, the fixed-pitch memory face.
// Deletes the previous ones.
void CreateViewFonts();

// memTextSize: the extent of the memory template in memFont, measured in dc.
void MeasureMemoryTemplate(HDC dc);

// graphPens (when graph < 2), the three meter brushes, graphBackBrush and
// gridPen, each replacing and deleting the previous one.
void CreateGraphPens();
void CreateMeterBrushes();
void CreateGridPen();

// Fonts, pens and brushes above, at shutdown.
void DeleteViewObjects();

// Total and free physical memory from the extended status when it exists.
// Returns whether the extended record gave them.
bool ReadPhysicalMemory(uint64_t* total, uint64_t* avail);

// The window's content in the back buffer: memory line, processor texts,
// segmented meters and the history graph with its guide line.
#pragma once
#include <windows.h>

#include <cstdint>

class LoadHistory;

// Everything, in the order memory line, texts, meters, graph. n is the
// processor count shown (0 for the total only); rings has n + 1 entries at
// least (index 0 the total).
void DrawMonitor(HDC dc, int n, LoadHistory* rings, bool graph);

// The memory line from given figures at (x, y); returns the y below its bar.
int DrawMemoryLine(HDC dc, int x, int y, bool extended, uint64_t total, uint64_t avail);

// One meter of the ring's latest figure; bottom is exclusive.
void DrawMeter(HDC dc, LoadHistory& ring, int left, int top, int bottom);

// The graph box, or one box per processor in the grid layout.
void DrawGraph(HDC dc, int n, LoadHistory* rings, int left, int top, int gridTop);

// The dotted XOR line across a box; leaves gridPen selected.
void DrawGuideLine(HDC dc, int left, int top, int right, int bottom);

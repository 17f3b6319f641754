// Shared pieces of the presentation's Wine tests: real BMP files in real
// skin folders beside the test program, and a real memory DC as back buffer.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace viewkit {

using PixelFn = std::function<COLORREF(int x, int y)>;

// A 24-bit bottom-up BMP file, as paint programs write them.
void WriteBmp(const std::string& path, int w, int h, const PixelFn& pixel);

// A new, empty skin folder directly below the test program's folder;
// returns its name (for skinname). The folder's path goes to *folder.
std::string NewSkinFolder(std::string* folder);

// Releases whatever skin app holds and loads skinname afresh.
void LoadSkinNamed(const std::string& name);

// app.backDC / backBuffer / clientWidth / clientHeight at w x h.
void MakeBackBuffer(int w, int h);
void FreeBackBuffer();

COLORREF At(int x, int y); // GetPixel of backDC

// The back buffer as build/windows/screenshots/<name>.png, to look at.
void SaveBackBuffer(const char* name);

} // namespace viewkit

// The skin package: skin.ini colours and margins and the nine bitmaps of the
// folder named by skinname beside the program.
#pragma once
#include <windows.h>

#include <cstdint>

#include "view/ViewState.h"

// The program's folder with its trailing backslash (cut between double-byte
// characters); false, with folder empty, when the name does not fit.
bool ProgramFolder(char (&folder)[MAX_PATH]);

// The picture at dpi (a 96-dpi picture of width x height), resampled nearest
// neighbour: hard pixel edges stay hard and a key colour stays exact, where a
// smoothing filter would blend it into its neighbours. The given bitmap is
// deleted and width and height become the new size; at 96 dpi, or short of
// memory, the bitmap itself comes back.
HBITMAP ScaleBitmapNearest(HBITMAP image, int32_t& width, int32_t& height, int32_t dpi);

// Reads skin.ini and the bitmaps, made at the window's scale, into app. Call ReleaseSkin first when
// a skin is already loaded.
void LoadSkin();

// Loads one frame piece and builds its mask; a file that is not a bitmap
// leaves the piece empty.
void LoadSkinPiece(const char* path, SkinPiece& piece);

// Deletes the bitmaps of the nine pieces (not skinBackBrush, which the next
// LoadSkin replaces).
void ReleaseSkin();

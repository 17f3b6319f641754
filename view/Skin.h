// The skin package: skin.ini colours and margins and the nine bitmaps of the
// folder named by skinname beside the program.
#pragma once
#include <windows.h>

#include "view/ViewState.h"

// The program's folder with its trailing backslash (cut between double-byte
// characters); false, with folder empty, when the name does not fit.
bool ProgramFolder(char (&folder)[MAX_PATH]);

// Reads skin.ini and the bitmaps into app. Call ReleaseSkin first when a
// skin is already loaded.
void LoadSkin();

// Loads one frame piece and builds its mask; a file that is not a bitmap
// leaves the piece empty.
void LoadSkinPiece(const char* path, SkinPiece& piece);

// Deletes the bitmaps of the nine pieces (not skinBackBrush, which the next
// LoadSkin replaces).
void ReleaseSkin();

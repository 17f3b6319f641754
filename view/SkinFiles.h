// Which skin files the program accepts: a skin is one folder directly beside
// the program, and its bitmaps are small pictures. Platform-free.
#pragma once
#include <cstddef>
#include <cstdint>

// A skin piece wider or taller than this is refused (treated as missing): a
// hand-made 8000 x 8000 piece would cost gigabytes once loaded and masked.
enum : int32_t { MAX_SKIN_PIECE_SIDE = 1024 };

// The skin's folder, with its trailing backslash, into out (cap bytes):
// programFolder (ending in a backslash) followed by skinname. An empty name
// gives the program folder itself. False when skinname is not one folder
// name (a separator, a drive or "..") or when the folder plus the longest
// skin file name does not fit: either is a missing skin.
bool SkinFolderPath(const char* programFolder, const char* skinname, char* out, size_t cap);

// True when the start of a bitmap file (file header and info header, at
// least 26 bytes) names a picture within MAX_SKIN_PIECE_SIDE on each side.
// Anything that is not a bitmap file is false.
bool SkinBitmapSizeAccepted(const uint8_t* head, size_t length);

// Rules of the options dialog and of taking its result over that need no
// window: path and format clean-up, which skin folders can
// be offered, and which renewals a changed working copy calls for.
#pragma once
#include <cstddef>
#include <cstdint>

#include "settings/Settings.h"

// Removes one trailing backslash from a non-empty CP932 path. The last byte
// 0x5C of a double-byte character (such as "ソ") is part of a name, not a
// separator, and stays.
void DropTrailingBackslash(char* path);

// The title formats keep spaces as "_" in the file.
void SpacesToUnderscores(char* text);

// A folder name that the skin list may offer: not "." or "..", and short
// enough for skinname to hold it whole (a longer one would be stored cut and
// name a different folder).
bool OfferSkinFolder(const char* name);

// What taking the working copy over has to renew.
struct OptionChanges {
    bool samplePeriod = false; // tmrate
    bool font = false;         // face or size
    bool meterBrush[3] = {};   // color0 .. color2
    bool graphBack = false;    // gcolorbk: its brush and the grid pen
    bool logFile = false;      // the open log must be closed (and opened again)
    bool memoryItem = false;   // kakusi
    bool titleFormats = false; // any of the four caption formats
};

OptionChanges CompareOptions(const Settings& live, const Settings& pending);

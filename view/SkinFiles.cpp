#include "view/SkinFiles.h"

#include <cstring>

#include "base/SafeText.h"

namespace {

// The longest file a skin folder holds ("backLT.bmp" and its kin).
const size_t LONGEST_SKIN_FILE = 10;

bool IsFolderName(const char* name) {
    if (std::strstr(name, "..")) return false;
    for (size_t i = 0; name[i]; ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (IsLeadByte932(c) && name[i + 1]) {
            ++i; // its trail byte may be 0x5C
            continue;
        }
        if (c == '\\' || c == '/' || c == ':') return false;
    }
    return true;
}

int32_t ReadInt32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 |
                                static_cast<uint32_t>(p[3]) << 24);
}

bool SideAccepted(int64_t side) {
    if (side < 0) side = -side; // a negative height is a top-down picture
    return side > 0 && side <= MAX_SKIN_PIECE_SIDE;
}

} // namespace

bool SkinFolderPath(const char* programFolder, const char* skinname, char* out, size_t cap) {
    if (cap == 0) return false;
    out[0] = '\0';
    if (!IsFolderName(skinname)) return false;
    const size_t folder = std::strlen(programFolder), name = std::strlen(skinname);
    const size_t need = folder + (name ? name + 1 : 0) + LONGEST_SKIN_FILE;
    if (need >= cap) return false;
    CopyText(out, cap, programFolder);
    if (name) {
        AppendText(out, cap, skinname);
        AppendText(out, cap, "\\");
    }
    return true;
}

bool SkinBitmapSizeAccepted(const uint8_t* head, size_t length) {
    // "BM", then the info header at 14: its size, then the picture's size.
    if (length < 26 || head[0] != 'B' || head[1] != 'M') return false;
    const uint32_t infoSize = static_cast<uint32_t>(ReadInt32(head + 14));
    if (infoSize == 12) // the old core header: two 16-bit sides
        return SideAccepted(head[18] | head[19] << 8) && SideAccepted(head[20] | head[21] << 8);
    if (infoSize < 40 || length < 26) return false;
    return SideAccepted(ReadInt32(head + 18)) && SideAccepted(ReadInt32(head + 22));
}

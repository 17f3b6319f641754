#include "view/MemoryLine.h"

#include "base/SafeText.h"

namespace {

// Four digits stop at 9999 MB, which a machine of today's 16 GB passes: from
// there the figures take as many digits as the total has.
int FigureDigits(bool large, uint64_t totalBytes) {
    if (!large) return 3;
    int digits = 1;
    for (uint64_t mb = totalBytes / MEGABYTE; mb >= 10; mb /= 10)
        ++digits;
    return digits > 4 ? digits : 4;
}

} // namespace

size_t MemoryTemplate(char* dst, size_t cap, uint64_t totalBytes) {
    // Only whole megabytes count, as in the text itself.
    const bool large = (totalBytes >> 32) != 0 || (totalBytes & ~uint64_t{0xfffff}) >= LARGE_MEMORY;
    const int digits = FigureDigits(large, totalBytes);
    char nines[24] = "99999999999999999999";
    nines[digits] = '\0';
    return FormatText(dst, cap, "Mem:%s/%sMB(100%%", nines, nines);
}

size_t FormatMemoryText(char* dst, size_t cap, bool extended, uint64_t totalBytes,
                        uint64_t availBytes, int32_t memtype) {
    if (totalBytes == 0) totalBytes = 1; // never reported; keeps the division defined
    if (availBytes > totalBytes) availBytes = totalBytes;
    const uint64_t used = totalBytes - availBytes;
    const uint64_t shown = memtype != 0 ? availBytes : used;
    const bool large = totalBytes >= LARGE_MEMORY;
    if (extended) {
        const unsigned __int128 scaled = static_cast<unsigned __int128>(shown) * 1000;
        const int percent = static_cast<int>((scaled / totalBytes + 5) / 10);
        const unsigned long long s = shown / MEGABYTE, t = totalBytes / MEGABYTE;
        return FormatText(dst, cap, "Mem:%*llu/%*lluMB(%d%%)", FigureDigits(large, totalBytes), s,
                          FigureDigits(large, totalBytes), t, percent);
    }
    // The basic record holds 32-bit counts: what a system without the
    // extended call can report at all.
    const uint32_t total32 = static_cast<uint32_t>(totalBytes);
    const uint32_t shown32 = static_cast<uint32_t>(shown);
    const double ratio = total32 != 0 ? static_cast<double>(shown32) * 100.0 / total32 : 0.0;
    const int percent = static_cast<int>(ratio + 0.5);
    const int s = static_cast<int>(shown32 / MEGABYTE), t = static_cast<int>(total32 / MEGABYTE);
    return total32 >= LARGE_MEMORY ? FormatText(dst, cap, "Mem:%4d/%4dMB(%d%%)", s, t, percent)
                                   : FormatText(dst, cap, "Mem:%3d/%3dMB(%d%%)", s, t, percent);
}

int32_t MemoryBarUsed(int32_t barLength, uint64_t usedBytes, uint64_t totalBytes) {
    if (barLength <= 0 || totalBytes == 0) return 0;
    if (usedBytes > totalBytes) usedBytes = totalBytes;
    const unsigned __int128 product = static_cast<unsigned __int128>(barLength) * usedBytes;
    return static_cast<int32_t>(product / totalBytes);
}

// Four arbitrary user strings, up to their capacities, compile into texts
// that fit, and the load text built from them never carries a conversion the
// compiler did not write.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "settings/Settings.h"
#include "titlebar/TitleFormat.h"

namespace {

// Takes the next string of up to cap - 1 bytes (a zero byte ends it early).
void Take(const uint8_t*& data, size_t& size, char* out, size_t cap) {
    size_t n = 0;
    while (size && n + 1 < cap) {
        uint8_t c = *data++;
        --size;
        if (c == 0) break;
        out[n++] = static_cast<char>(c);
    }
    out[n] = 0;
}

void Check(bool ok) {
    if (!ok) abort();
}

bool Fits(const char* s, size_t cap) {
    return memchr(s, 0, cap) != nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    char b[FORMAT_B_CAPACITY], f0[FORMAT_0_CAPACITY], f1[FORMAT_1_CAPACITY], d[FORMAT_D_CAPACITY];
    Take(data, size, b, sizeof b);
    Take(data, size, f0, sizeof f0);
    Take(data, size, f1, sizeof f1);
    Take(data, size, d, sizeof d);
    int count = size ? *data++ % 65 : 0;
    if (size) --size;
    uint32_t loads[65];
    for (int i = 0; i <= 64; ++i) {
        loads[i] = size ? *data++ % 101 : 100;
        if (size) --size;
    }

    TitleFormats f;
    InitCpuFormatters(f);
    CompileTitleFormats(f, b, f0, f1, d);
    Check(Fits(f.titleHead, sizeof f.titleHead) && Fits(f.titleTail, sizeof f.titleTail) &&
          Fits(f.cpuFormat, sizeof f.cpuFormat) && Fits(f.titleSeparator, sizeof f.titleSeparator));
    Check(f.cpuFormatterKind >= 0 && f.cpuFormatterKind <= 3);

    char letters[8];
    Check(ListConversions(f.titleHead, letters, sizeof letters));
    Check(strcmp(letters, "") == 0 || strcmp(letters, "u") == 0);
    if (f.cpuFormatterKind > 0) {
        Check(ListConversions(f.cpuFormat, letters, sizeof letters));
        static const char* const allowed[4][3] = {
            {"", "", ""}, {"", "u", "ud"}, {"", "d", "du"}, {"", "u", "u"}};
        const char* const* a = allowed[f.cpuFormatterKind];
        Check(!strcmp(letters, a[0]) || !strcmp(letters, a[1]) || !strcmp(letters, a[2]));
    }

    char out[LOAD_TEXT_CAPACITY + 16];
    memset(out, 0x55, sizeof out);
    size_t len = FormatLoadText(f, loads, count, out, LOAD_TEXT_CAPACITY);
    Check(len < LOAD_TEXT_CAPACITY && strlen(out) == len);
    for (size_t i = LOAD_TEXT_CAPACITY; i < sizeof out; ++i)
        Check(out[i] == 0x55);
    // The closing text is always kept.
    size_t tail = strlen(f.titleTail);
    Check(len >= tail && memcmp(out + len - tail, f.titleTail, tail) == 0);
    return 0;
}

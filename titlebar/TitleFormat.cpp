#include "titlebar/TitleFormat.h"

#include <cstring>

#include "base/SafeText.h"

namespace {

// Writes a compiled text piece by piece. A piece is one character, one
// doubled percent sign or one conversion; a piece that does not fit ends
// the text, so no cut ever splits a character, a "%%" or a "%lu".
struct PieceWriter {
    char* out;
    size_t cap;
    size_t len = 0;
    bool full = false;

    PieceWriter(char* o, size_t c) : out(o), cap(c) {
        if (cap) out[0] = 0;
    }
    void put(const char* piece, size_t n) {
        if (full || cap == 0) return;
        if (len + n + 1 > cap) {
            full = true;
            return;
        }
        memcpy(out + len, piece, n);
        len += n;
        out[len] = 0;
    }
};

// Length of the character that starts at s (1 or 2 bytes). A lead byte
// without a valid trail byte counts alone: were "\x81%" taken as one
// character, its percent sign would reach printf undoubled.
size_t CharLength(const char* s) {
    unsigned char trail = static_cast<unsigned char>(s[1]);
    bool validTrail = (trail >= 0x40 && trail <= 0x7e) || (trail >= 0x80 && trail <= 0xfc);
    return IsLeadByte932(static_cast<unsigned char>(s[0])) && validTrail ? 2 : 1;
}

// Copies user text [s, end) into w. Underscores become spaces; with
// escapePercent every percent sign is doubled so that it prints once.
// Only single-byte underscores count: 0x5f is also a valid trail byte.
void PutText(PieceWriter& w, const char* s, const char* end, bool escapePercent) {
    while (s < end && *s) {
        size_t n = CharLength(s);
        if (s + n > end) n = static_cast<size_t>(end - s);
        if (n == 1 && *s == '_')
            w.put(" ", 1);
        else if (n == 1 && *s == '%' && escapePercent)
            w.put("%%", 2);
        else
            w.put(s, n);
        s += n;
    }
}

// First "#x" in s at a character boundary, or null.
const char* FindPlaceholder(const char* s, char x) {
    for (; *s; s += CharLength(s))
        if (s[0] == '#' && s[1] == x) return s;
    return nullptr;
}

const char* FindChar(const char* s, char c) {
    for (; *s; s += CharLength(s))
        if (*s == c) return s;
    return nullptr;
}

int FormatPlain(const char* format, char* out, int, uint32_t) {
    return static_cast<int>(CopyText(out, CPU_ENTRY_CAPACITY, format)) + 1;
}
int FormatLoadFirst(const char* format, char* out, int processor, uint32_t load) {
    return static_cast<int>(
        FormatText(out, CPU_ENTRY_CAPACITY, format, static_cast<unsigned long>(load), processor));
}
int FormatNumberFirst(const char* format, char* out, int processor, uint32_t load) {
    return static_cast<int>(
        FormatText(out, CPU_ENTRY_CAPACITY, format, processor, static_cast<unsigned long>(load)));
}
int FormatLoadOnly(const char* format, char* out, int, uint32_t load) {
    return static_cast<int>(
        FormatText(out, CPU_ENTRY_CAPACITY, format, static_cast<unsigned long>(load)));
}

} // namespace

void InitCpuFormatters(TitleFormats& f) {
    f.cpuFormatters[0] = FormatPlain;
    f.cpuFormatters[1] = FormatLoadFirst;
    f.cpuFormatters[2] = FormatNumberFirst;
    f.cpuFormatters[3] = FormatLoadOnly;
}

void CompileTitleFormats(TitleFormats& f, const char* formatB, const char* format0,
                         const char* format1, const char* formatD) {
    const char* bEnd = formatB + strlen(formatB);
    const char* comma = FindChar(formatB, ',');

    PieceWriter head(f.titleHead, sizeof f.titleHead);
    PutText(head, formatB, comma ? comma : bEnd, true);
    const char* end0 = format0 + strlen(format0);
    if (const char* total = FindPlaceholder(format0, '0')) {
        PutText(head, format0, total, true);
        head.put("%lu", 3);
        PutText(head, total + 2, end0, true);
    } else {
        PutText(head, format0, end0, true);
    }

    PieceWriter tail(f.titleTail, sizeof f.titleTail);
    if (comma) PutText(tail, comma + 1, bEnd, false);

    PieceWriter cpu(f.cpuFormat, sizeof f.cpuFormat);
    const char* end1 = format1 + strlen(format1);
    const char* load = FindPlaceholder(format1, 'c');
    const char* number = FindPlaceholder(format1, 'i');
    if (!load) {
        f.cpuFormatterKind = 0;
        PutText(cpu, format1, end1, false);
    } else if (number) {
        bool loadFirst = load < number;
        const char* first = loadFirst ? load : number;
        const char* second = loadFirst ? number : load;
        f.cpuFormatterKind = loadFirst ? 1 : 2;
        PutText(cpu, format1, first, true);
        cpu.put(loadFirst ? "%lu" : "%d", loadFirst ? 3 : 2);
        PutText(cpu, first + 2, second, true);
        cpu.put(loadFirst ? "%d" : "%lu", loadFirst ? 2 : 3);
        PutText(cpu, second + 2, end1, true);
    } else {
        f.cpuFormatterKind = 3;
        PutText(cpu, format1, load, true);
        cpu.put("%lu", 3);
        PutText(cpu, load + 2, end1, true);
    }

    PieceWriter sep(f.titleSeparator, sizeof f.titleSeparator);
    PutText(sep, formatD, formatD + strlen(formatD), false);
}

size_t FormatLoadText(const TitleFormats& f, const uint32_t* loads, int count, char* out,
                      size_t cap) {
    if (cap == 0) return 0;
    size_t len = FormatText(out, cap, f.titleHead, static_cast<unsigned long>(loads[0]));
    size_t tailLen = strlen(f.titleTail);
    size_t sepLen = strlen(f.titleSeparator);
    CpuFormatter formatter = nullptr;
    if (f.cpuFormatterKind >= 0 && f.cpuFormatterKind < 4)
        formatter = f.cpuFormatters[f.cpuFormatterKind];
    for (int i = 1; formatter && i <= count; ++i) {
        char entry[CPU_ENTRY_CAPACITY];
        formatter(f.cpuFormat, entry, i, loads[i]);
        size_t entryLen = strlen(entry);
        // An entry that would push out the closing text is left out, and so
        // are the ones after it: a half-written number would read as a load.
        if (len + sepLen + entryLen + tailLen + 1 > cap) break;
        memcpy(out + len, f.titleSeparator, sepLen);
        len += sepLen;
        memcpy(out + len, entry, entryLen);
        len += entryLen;
        out[len] = 0;
    }
    return AppendText(out, cap, f.titleTail);
}

size_t TitleMarker(const TitleFormats& f, char* out, size_t cap) {
    const char* percent = FindChar(f.titleHead, '%');
    size_t n = percent ? static_cast<size_t>(percent - f.titleHead) : strlen(f.titleHead);
    return CopyTextN(out, cap, f.titleHead, n);
}

bool ListConversions(const char* format, char* letters, size_t cap) {
    size_t n = 0;
    if (cap) letters[0] = 0;
    for (const char* s = format; *s; ++s) {
        if (*s != '%') continue;
        const char* letter;
        if (s[1] == '%') {
            ++s;
            continue;
        }
        if (s[1] == 'd')
            letter = "d", s += 1;
        else if (s[1] == 'l' && s[2] == 'u')
            letter = "u", s += 2;
        else
            return false;
        if (n + 2 > cap) return false;
        letters[n++] = *letter;
        letters[n] = 0;
    }
    return true;
}

#include "base/SafeText.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

size_t CutLength932(const char* s, size_t len, size_t maxBytes) {
    if (len <= maxBytes) return len;
    size_t pos = 0;
    while (pos < maxBytes) {
        size_t width = (IsLeadByte932(static_cast<unsigned char>(s[pos])) && pos + 1 < len) ? 2 : 1;
        if (pos + width > maxBytes) break;
        pos += width;
    }
    return pos;
}

size_t FolderLength932(const char* path) {
    size_t folder = 0;
    for (size_t i = 0; path[i]; ++i) {
        if (IsLeadByte932(static_cast<unsigned char>(path[i])) && path[i + 1]) {
            ++i;
            continue;
        }
        if (path[i] == '\\') folder = i + 1;
    }
    return folder;
}

size_t CopyTextN(char* dst, size_t cap, const char* src, size_t srcLen) {
    if (cap == 0) return 0;
    size_t n = CutLength932(src, srcLen, cap - 1);
    memmove(dst, src, n);
    dst[n] = '\0';
    return n;
}

size_t CopyText(char* dst, size_t cap, const char* src) {
    return CopyTextN(dst, cap, src, strlen(src));
}

size_t AppendText(char* dst, size_t cap, const char* src) {
    if (cap == 0) return 0;
    size_t have = strnlen(dst, cap - 1);
    return have + CopyText(dst + have, cap - have, src);
}

size_t FormatText(char* dst, size_t cap, const char* format, ...) {
    if (cap == 0) return 0;
    va_list args;
    va_start(args, format);
    int full = vsnprintf(dst, cap, format, args);
    va_end(args);
    if (full < 0) {
        dst[0] = '\0';
        return 0;
    }
    if (static_cast<size_t>(full) < cap) return static_cast<size_t>(full);
    // vsnprintf cut at a byte; the output is a prefix of the whole text, so
    // the character boundaries can be found from its start.
    size_t n = CutLength932(dst, cap - 1, cap - 1);
    // A lead byte as the last kept byte whose trail byte was cut off.
    if (n > 0 && n == cap - 1) {
        size_t pos = 0;
        while (pos < n) {
            size_t width = IsLeadByte932(static_cast<unsigned char>(dst[pos])) ? 2 : 1;
            if (pos + width > n) break;
            pos += width;
        }
        n = pos;
    }
    dst[n] = '\0';
    return n;
}

// Bounded text writes for the program's fixed-capacity byte buffers.
// Texts are in code page 932: a cut never leaves half of a double-byte
// character behind, and every result is zero-terminated (when cap > 0).
#pragma once
#include <cstddef>

// First byte of a CP932 double-byte character.
inline bool IsLeadByte932(unsigned char c) {
    return (c >= 0x81 && c <= 0x9f) || (c >= 0xe0 && c <= 0xfc);
}

// The longest prefix of s[0..len) of at most maxBytes bytes that ends on a
// character boundary. A lead byte at the very end of s (a broken text) counts
// as a character of its own.
size_t CutLength932(const char* s, size_t len, size_t maxBytes);

// Length of the folder part of a path, through its last backslash (0 when
// it has none). A trail byte 0x5C of a double-byte character (表 is 0x95 0x5C)
// is not a separator.
size_t FolderLength932(const char* path);

// Copies src into dst (capacity cap bytes, terminator included), cut at a
// character boundary when it does not fit. Returns the length written.
size_t CopyText(char* dst, size_t cap, const char* src);
size_t CopyTextN(char* dst, size_t cap, const char* src, size_t srcLen);

// Appends src to the text already in dst, under the same rule.
size_t AppendText(char* dst, size_t cap, const char* src);

// snprintf into dst, cut at a character boundary when the result does not
// fit. Returns the length written (not the length that would have been).
size_t FormatText(char* dst, size_t cap, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

#include "app/CommandLine.h"

#include "base/SafeText.h"

#include <climits>
#include <cstring>
#include <string>

namespace {

// The normalised text: "-" becomes "/", letters upper case. Trail bytes of
// double-byte characters are left alone, or a Japanese file name could turn
// into a spurious "/E".
std::string Normalise(const char* text) {
    std::string s(text);
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (IsLeadByte932(c) && i + 1 < s.size()) {
            ++i;
            continue;
        }
        if (c == '-')
            s[i] = '/';
        else if (c >= 'a' && c <= 'z')
            s[i] = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

// One "%d" in the manner of sscanf: optional white space, optional sign,
// at least one digit. Advances p on success.
bool ReadNumber(const char*& p, int32_t* out) {
    const char* q = p;
    while (*q == ' ' || *q == '\t')
        ++q;
    bool negative = false;
    if (*q == '+' || *q == '-') negative = (*q++ == '-');
    if (*q < '0' || *q > '9') return false;
    long long value = 0;
    while (*q >= '0' && *q <= '9') {
        if (value <= INT_MAX) value = value * 10 + (*q - '0');
        ++q;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    *out = static_cast<int32_t>(value);
    p = q;
    return true;
}

} // namespace

ExitOption ParseExitOption(const char* commandLine) {
    ExitOption option;
    if (!commandLine) return option;
    std::string text = Normalise(commandLine);
    size_t at = text.find("/E");
    if (at == std::string::npos) return option;

    int32_t seconds = 0;
    const char* p = text.c_str() + at + 2;
    if (*p == ':') {
        ++p;
        if (ReadNumber(p, &option.delay) && *p == ',') {
            ++p;
            if (ReadNumber(p, &option.threshold) && *p == ',') {
                ++p;
                ReadNumber(p, &seconds);
            }
        }
    }
    // Seconds to milliseconds, whenever "/E" was found; a negative count
    // means no waiting at all.
    long long ms = static_cast<long long>(seconds) * 1000;
    if (ms > INT_MAX) ms = INT_MAX;
    if (ms < 0) ms = 0;
    option.duration = static_cast<int32_t>(ms);
    return option;
}

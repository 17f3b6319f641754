#include "view/SkinIni.h"

static bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

int32_t ParseSkinNumbers(const char* text, int32_t* out, int32_t max) {
    int32_t count = 0;
    const char* p = text;
    while (count < max) {
        while (IsSpace(*p))
            ++p;
        bool negative = false;
        if (*p == '+' || *p == '-') negative = *p++ == '-';
        if (*p < '0' || *p > '9') break;
        int64_t value = 0;
        for (; *p >= '0' && *p <= '9'; ++p)
            if (value <= INT32_MAX) value = value * 10 + (*p - '0');
        if (negative) value = -value;
        if (value > INT32_MAX) value = INT32_MAX;
        if (value < INT32_MIN) value = INT32_MIN;
        out[count++] = static_cast<int32_t>(value);
    }
    return count;
}

uint32_t ParseSkinColour(const char* text) {
    int32_t rgb[3] = {0, 0, 0};
    ParseSkinNumbers(text, rgb, 3);
    uint32_t colour = 0;
    for (int i = 0; i < 3; ++i) {
        uint32_t c = static_cast<uint32_t>(rgb[i]);
        if (c > 255) c = 255;
        colour |= c << (8 * i);
    }
    return colour;
}

void ParseSkinPadding(const char* text, int32_t& left, int32_t& top, int32_t& right,
                      int32_t& bottom) {
    int32_t pad[4];
    const int32_t n = ParseSkinNumbers(text, pad, 4);
    int32_t* fields[4] = {&left, &top, &right, &bottom};
    for (int32_t i = 0; i < n; ++i)
        *fields[i] = pad[i];
}

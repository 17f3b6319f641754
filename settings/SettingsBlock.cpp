#include "settings/SettingsBlock.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/SafeText.h"

const char* SectionName(IniSection section, bool oldLayout) {
    if (oldLayout) return "config";
    switch (section) {
    case IniSection::Window: return "Window";
    case IniSection::Option: return "Option";
    case IniSection::Config: return "Config";
    case IniSection::Color: return "Config\\Color";
    case IniSection::Log: return "Config\\Log";
    case IniSection::Ext: return "Config\\Ext";
    }
    return "config";
}

namespace {

// The profile functions' rule for names: letters match either case.
bool SameName(const char* a, const char* b) {
    for (;; ++a, ++b) {
        const char x = *a >= 'A' && *a <= 'Z' ? static_cast<char>(*a - 'A' + 'a') : *a;
        const char y = *b >= 'A' && *b <= 'Z' ? static_cast<char>(*b - 'A' + 'a') : *b;
        if (x != y) return false;
        if (x == '\0') return true;
    }
}

bool Lists(const char* names, const char* name) {
    for (const char* n = names; *n; n += strlen(n) + 1)
        if (SameName(n, name)) return true;
    return false;
}

} // namespace

bool IsOldLayout(const char* sections, const char* windowKeys) {
    if (!Lists(sections, "config")) return false;
    const IniSection currentOnly[] = {IniSection::Option, IniSection::Color, IniSection::Log,
                                      IniSection::Ext};
    for (IniSection section : currentOnly)
        if (Lists(sections, SectionName(section, false))) return false;
    for (const char* key = windowKeys; *key; key += strlen(key) + 1)
        if (!SameName(key, "colum") && !SameName(key, "row") && !SameName(key, "acthide"))
            return false;
    return true;
}

namespace {

// The templates mark the end of each entry with \a; the block ends with one
// more. Every field fits at its capacity, so a result that does not fit
// means the caller's buffer is too small.
int FormatTemplate(IniSection section, const Settings& s, char* out, size_t cap) {
    switch (section) {
    case IniSection::Window:
        return snprintf(out, cap,
                        "posx=%d\aposy=%d\acolum=%d\arow=%d\awintop=%d\awinhide=%d\aacthide=%d\a\a",
                        s.posx, s.posy, s.colum, s.row, s.wintop, s.winhide, s.acthide);
    case IniSection::Option:
        return snprintf(out, cap,
                        "title=%d\aiconanim=%d\amulti=%d\atrans=%d\alog=%d\asnap=%d\asnapoffset=%d"
                        "\amemory=%d\a\a",
                        s.title, s.iconanim, s.multi, s.trans, s.log, s.snap, s.snapoffset,
                        s.memory);
    case IniSection::Config:
        return snprintf(out, cap,
                        "graph=%d\agline=%d\alayout=%d\atmrate=%d\atrans=%d\atrans2=%d\afont=%s"
                        "\afontsize=%d\a\a",
                        s.graph, s.gline, s.layout, s.tmrate, s.transAlpha, s.trans2, s.font,
                        s.fontsize);
    case IniSection::Color:
        return snprintf(out, cap,
                        "color0=0x%06x\acolor1=0x%06x\acolor2=0x%06x\agcolorbk=0x%06x\aformat_b=%s"
                        "\aformat_0=%s\aformat_1=%s\aformat_d=%s\a\a",
                        s.color0, s.color1, s.color2, s.gcolorbk, s.format_b, s.format_0,
                        s.format_1, s.format_d);
    case IniSection::Log:
        return snprintf(out, cap,
                        "logout=%d\atmrate2=%d\alogfile=%s\alogappend=%d\alogtime=%d\aloglimit=%d"
                        "\aloglimitval=%d\alogchange=%d\alogchangeval=%d\a\a",
                        s.logout, s.tmrate2, s.logfile, s.logappend, s.logtime, s.loglimit,
                        s.loglimitval, s.logchange, s.logchangeval);
    case IniSection::Ext:
        // memback and memtext go out in decimal, unlike the other colours.
        return snprintf(out, cap,
                        "bgtrans=%d\atextcolor=0x%06x\atmrate3=%d\ausericon=%d\aiconpath=%s"
                        "\askinname=%s\akakusi=%d\amemback=%d\amemtext=%d\amemtype=%d\a\a",
                        s.bgtrans, s.textcolor, s.tmrate3, s.usericon, s.iconpath, s.skinname,
                        s.kakusi, static_cast<int>(s.memback), static_cast<int>(s.memtext),
                        s.memtype);
    }
    return -1;
}

} // namespace

size_t BuildSectionBlock(IniSection section, const Settings& s, char* out, size_t cap) {
    if (!out || cap == 0) return 0;
    int n = FormatTemplate(section, s, out, cap);
    if (n < 0 || static_cast<size_t>(n) >= cap) {
        out[0] = '\0';
        return 0;
    }
    // A \a inside a user's text would end its entry early; such a byte is
    // never part of a CP932 character, so it can only be the template's.
    for (int i = 0; i < n; ++i)
        if (out[i] == '\a') out[i] = '\0';
    return static_cast<size_t>(n);
}

void ParseMeterPair(const char* text, int32_t* gradient, int32_t* step) {
    *gradient = 0;
    *step = 0;
    if (!text) return;
    char* end = nullptr;
    long g = strtol(text, &end, 10);
    if (end == text) return;
    *gradient = static_cast<int32_t>(g);
    if (*end != ',') return;
    const char* second = end + 1;
    long st = strtol(second, &end, 10);
    if (end != second) *step = static_cast<int32_t>(st);
}

void FormatMeterPair(int32_t gradient, int32_t step, char* out, size_t cap) {
    FormatText(out, cap, "%d,%d", gradient, step);
}

void TrimReadText(char* text, size_t cap) {
    if (!text || cap == 0) return;
    size_t len = strnlen(text, cap - 1);
    size_t pos = 0;
    while (pos < len) {
        bool lead = IsLeadByte932(static_cast<unsigned char>(text[pos]));
        if (lead && pos + 1 >= len) break; // a lead byte without its second half
        pos += lead ? 2 : 1;
    }
    text[pos] = '\0';
}

#include "options/OptionRules.h"

#include <cstring>

#include "base/SafeText.h"

void DropTrailingBackslash(char* path) {
    size_t lastStart = 0; // where the last character begins
    size_t i = 0;
    bool any = false;
    while (path[i] != '\0') {
        lastStart = i;
        any = true;
        i += (IsLeadByte932(static_cast<unsigned char>(path[i])) && path[i + 1] != '\0') ? 2 : 1;
    }
    if (any && i - lastStart == 1 && path[lastStart] == '\\') path[lastStart] = '\0';
}

void SpacesToUnderscores(char* text) {
    // 0x20 is never the second byte of a CP932 character.
    for (char* p = text; *p; ++p)
        if (*p == ' ') *p = '_';
}

bool OfferSkinFolder(const char* name) {
    if (name[0] == '\0' || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
        return false;
    return std::strlen(name) < static_cast<size_t>(SKINNAME_CAPACITY);
}

OptionChanges CompareOptions(const Settings& live, const Settings& pending) {
    OptionChanges c;
    c.samplePeriod = live.tmrate != pending.tmrate;
    c.font = live.fontsize != pending.fontsize || std::strcmp(live.font, pending.font) != 0;
    c.meterBrush[0] = live.color0 != pending.color0;
    c.meterBrush[1] = live.color1 != pending.color1;
    c.meterBrush[2] = live.color2 != pending.color2;
    c.graphBack = live.gcolorbk != pending.gcolorbk;
    // The lower size threshold only filters rows: the open file stays valid.
    c.logFile = live.logout != pending.logout || std::strcmp(live.logfile, pending.logfile) != 0 ||
                live.tmrate2 != pending.tmrate2 || live.logtime != pending.logtime ||
                live.logappend != pending.logappend || live.loglimit != pending.loglimit ||
                live.logchange != pending.logchange || live.logchangeval != pending.logchangeval;
    c.memoryItem = live.kakusi != pending.kakusi;
    c.titleFormats = std::strcmp(live.format_b, pending.format_b) != 0 ||
                     std::strcmp(live.format_0, pending.format_0) != 0 ||
                     std::strcmp(live.format_1, pending.format_1) != 0 ||
                     std::strcmp(live.format_d, pending.format_d) != 0;
    return c;
}

#include "settings/SettingsFile.h"

#include <cstdio>

#include "app/AppState.h"
#include "settings/SettingsBlock.h"
#include "titlebar/TitleBar.h"

namespace {

// Which layout the file being read has; only LoadSettings changes it.
bool oldLayout = false;

const char* Name(IniSection section) {
    return SectionName(section, oldLayout);
}

int32_t ReadInt(IniSection section, const char* key, int32_t fallback) {
    return static_cast<int32_t>(GetPrivateProfileIntA(Name(section), key, fallback, app.iniPath));
}

uint32_t ReadColor(IniSection section, const char* key, uint32_t fallback) {
    return static_cast<uint32_t>(
        GetPrivateProfileIntA(Name(section), key, static_cast<INT>(fallback), app.iniPath));
}

void ReadText(IniSection section, const char* key, const char* fallback, char* out, DWORD cap) {
    GetPrivateProfileStringA(Name(section), key, fallback, out, cap, app.iniPath);
    TrimReadText(out, cap);
}

void ReadWindowAndOption() {
    app.wintop = static_cast<int32_t>(GetPrivateProfileIntA("Window", "wintop", -1, app.iniPath));
    oldLayout = app.wintop < 0;
    if (oldLayout) app.wintop = ReadInt(IniSection::Window, "wintop", 0);
    app.posx = ReadInt(IniSection::Window, "posx", 0);
    app.posy = ReadInt(IniSection::Window, "posy", 0);
    app.winhide = ReadInt(IniSection::Window, "winhide", 0);
    // The grid and the mouse-over choice were kept in [Window] by both layouts.
    app.colum = static_cast<int32_t>(GetPrivateProfileIntA("Window", "colum", 1, app.iniPath));
    app.row = static_cast<int32_t>(GetPrivateProfileIntA("Window", "row", 1, app.iniPath));
    app.acthide = static_cast<int32_t>(GetPrivateProfileIntA("Window", "acthide", 0, app.iniPath));

    app.title = ReadInt(IniSection::Option, "title", 0);
    app.iconanim = ReadInt(IniSection::Option, "iconanim", 0);
    app.multi = ReadInt(IniSection::Option, "multi", 0);
    app.trans = ReadInt(IniSection::Option, "trans", 0);
    app.log = ReadInt(IniSection::Option, "log", 0);
    app.memory = ReadInt(IniSection::Option, "memory", 0);
    app.snap = ReadInt(IniSection::Option, "snap", 0);
    app.snapoffset = ReadInt(IniSection::Option, "snapoffset", 10);
}

void ReadConfig() {
    app.graph = ReadInt(IniSection::Config, "graph", 0);
    app.gline = ReadInt(IniSection::Config, "gline", 1);
    app.layout = ReadInt(IniSection::Config, "layout", 0);
    app.tmrate = ReadInt(IniSection::Config, "tmrate", 1000);
    app.transAlpha = ReadInt(IniSection::Config, "trans", 255);
    app.trans2 = ReadInt(IniSection::Config, "trans2", 0);
    ReadText(IniSection::Config, "font", "Courier New", app.font, sizeof app.font);
    app.fontsize = ReadInt(IniSection::Config, "fontsize", 15);
}

void ReadColors() {
    app.color0 = ReadColor(IniSection::Color, "color0", 0x00ff00);
    app.color1 = ReadColor(IniSection::Color, "color1", 0x00f0ff);
    app.color2 = ReadColor(IniSection::Color, "color2", 0x0000ff);
    char meter[METER_TEXT_CAPACITY];
    ReadText(IniSection::Color, "meter", "0,0", meter, sizeof meter);
    ParseMeterPair(meter, &app.meterGradient, &app.meterStep);
    for (int i = 0; i <= app.cpuCount; ++i) {
        char key[16];
        snprintf(key, sizeof key, "gcolor%d", i);
        app.gcolor[i] = ReadColor(IniSection::Color, key, DefaultGraphColor(i));
    }
    app.gcolorbk = ReadColor(IniSection::Color, "gcolorbk", 0xf0f0f0);
    ReadText(IniSection::Color, "format_b", "【,】", app.format_b, sizeof app.format_b);
    ReadText(IniSection::Color, "format_0", "CPU:_#0%", app.format_0, sizeof app.format_0);
    ReadText(IniSection::Color, "format_1", "#i-#c%", app.format_1, sizeof app.format_1);
    ReadText(IniSection::Color, "format_d", "/", app.format_d, sizeof app.format_d);
}

void ReadLog() {
    app.logout = ReadInt(IniSection::Log, "logout", 0);
    app.log = EffectiveLog(app.log, app.logout);
    app.tmrate2 = ReadInt(IniSection::Log, "tmrate2", 1000);
    app.logappend = ReadInt(IniSection::Log, "logappend", 0);
    app.logtime = ReadInt(IniSection::Log, "logtime", 0);
    app.loglimit = ReadInt(IniSection::Log, "loglimit", 0);
    app.loglimitval = ReadInt(IniSection::Log, "loglimitval", 0);
    app.logchange = ReadInt(IniSection::Log, "logchange", 0);
    app.logchangeval = ReadInt(IniSection::Log, "logchangeval", 0);
    ReadText(IniSection::Log, "logfile", "", app.logfile, sizeof app.logfile);
}

void ReadExt() {
    app.bgtrans = ReadInt(IniSection::Ext, "bgtrans", 0);
    app.textcolor = ReadColor(IniSection::Ext, "textcolor", 0xffffff);
    app.tmrate3 = ReadInt(IniSection::Ext, "tmrate3", 3000);
    app.usericon = ReadInt(IniSection::Ext, "usericon", 0);
    ReadText(IniSection::Ext, "iconpath", "", app.iconpath, sizeof app.iconpath);
    ReadText(IniSection::Ext, "skinname", "default", app.skinname, sizeof app.skinname);
    app.kakusi = ReadInt(IniSection::Ext, "kakusi", 0);
    app.memback = ReadColor(IniSection::Ext, "memback", 0x648080);
    app.memtext = ReadColor(IniSection::Ext, "memtext", 0xf00000);
    app.memtype = ReadInt(IniSection::Ext, "memtype", 0);
}

void WriteBlock(IniSection section) {
    char block[SECTION_BLOCK_CAPACITY];
    if (BuildSectionBlock(section, app, block, sizeof block) == 0) return;
    WritePrivateProfileSectionA(SectionName(section, false), block, app.iniPath);
}

} // namespace

void LoadSettings() {
    ReadWindowAndOption();
    ReadConfig();
    ReadColors();
    CompileTitleFormats();
    ReadLog();
    ReadExt();
    if (oldLayout) {
        // Keys and sections the program does not know go with the old file.
        DeleteFileA(app.iniPath);
        oldLayout = false;
        SaveSettings(true);
    }
}

void SaveSettings(bool full) {
    WriteBlock(IniSection::Window);
    WriteBlock(IniSection::Option);
    if (!full) return;
    WriteBlock(IniSection::Config);
    WriteBlock(IniSection::Color);
    char meter[METER_TEXT_CAPACITY];
    FormatMeterPair(app.meterGradient, app.meterStep, meter, sizeof meter);
    WritePrivateProfileStringA("Config\\Color", "meter", meter, app.iniPath);
    for (int i = 0; i <= app.cpuCount; ++i) {
        char key[16], value[16];
        snprintf(key, sizeof key, "gcolor%d", i);
        snprintf(value, sizeof value, "0x%06x", app.gcolor[i]);
        WritePrivateProfileStringA("Config\\Color", key, value, app.iniPath);
    }
    WriteBlock(IniSection::Log);
    WriteBlock(IniSection::Ext);
}

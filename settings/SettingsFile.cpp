#include "settings/SettingsFile.h"

#include <cstdio>

#include "app/AppState.h"
#include "base/SafeText.h"
#include "settings/SettingsBlock.h"
#include "titlebar/TitleBar.h"

namespace {

const char* const ERROR_TITLE = "Vantor エラー";
const char* const SAVE_FAILED =
    "設定ファイルに書き込めませんでした。\n%s\n変更した設定は終了すると失われます。";

// Which layout the file being read has; only LoadSettings changes it.
bool oldLayout = false;

// A save has failed this run and the user has been told so.
bool toldUnsaved = false;

// A missing key takes the value a fresh record has.
const Settings defaults;

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

// A list of names too long for the buffer cannot tell the layout: such a
// file is read as the current one, which never deletes it.
bool HasOldLayout() {
    char sections[4096] = {}, windowKeys[2048] = {};
    const DWORD named = GetPrivateProfileSectionNamesA(sections, sizeof sections, app.iniPath);
    const DWORD keyed =
        GetPrivateProfileStringA("Window", nullptr, "", windowKeys, sizeof windowKeys, app.iniPath);
    return named + 2 < sizeof sections && keyed + 2 < sizeof windowKeys &&
           IsOldLayout(sections, windowKeys);
}

void ReadWindowAndOption() {
    oldLayout = HasOldLayout();
    app.wintop = ReadInt(IniSection::Window, "wintop", defaults.wintop);
    app.posx = ReadInt(IniSection::Window, "posx", defaults.posx);
    app.posy = ReadInt(IniSection::Window, "posy", defaults.posy);
    app.winhide = ReadInt(IniSection::Window, "winhide", defaults.winhide);
    // The grid and the mouse-over choice were kept in [Window] by both layouts.
    app.colum =
        static_cast<int32_t>(GetPrivateProfileIntA("Window", "colum", defaults.colum, app.iniPath));
    app.row =
        static_cast<int32_t>(GetPrivateProfileIntA("Window", "row", defaults.row, app.iniPath));
    app.acthide = static_cast<int32_t>(
        GetPrivateProfileIntA("Window", "acthide", defaults.acthide, app.iniPath));

    app.title = ReadInt(IniSection::Option, "title", defaults.title);
    app.iconanim = ReadInt(IniSection::Option, "iconanim", defaults.iconanim);
    app.multi = ReadInt(IniSection::Option, "multi", defaults.multi);
    app.trans = ReadInt(IniSection::Option, "trans", defaults.trans);
    app.log = ReadInt(IniSection::Option, "log", defaults.log);
    app.memory = ReadInt(IniSection::Option, "memory", defaults.memory);
    app.snap = ReadInt(IniSection::Option, "snap", defaults.snap);
    app.snapoffset = ReadInt(IniSection::Option, "snapoffset", defaults.snapoffset);
}

void ReadConfig() {
    app.graph = ReadInt(IniSection::Config, "graph", defaults.graph);
    app.gline = ReadInt(IniSection::Config, "gline", defaults.gline);
    app.layout = ReadInt(IniSection::Config, "layout", defaults.layout);
    app.tmrate = ReadInt(IniSection::Config, "tmrate", defaults.tmrate);
    app.transAlpha = ReadInt(IniSection::Config, "trans", defaults.transAlpha);
    app.trans2 = ReadInt(IniSection::Config, "trans2", defaults.trans2);
    ReadText(IniSection::Config, "font", defaults.font, app.font, sizeof app.font);
    app.fontsize = ReadInt(IniSection::Config, "fontsize", defaults.fontsize);
}

void ReadColors() {
    app.color0 = ReadColor(IniSection::Color, "color0", defaults.color0);
    app.color1 = ReadColor(IniSection::Color, "color1", defaults.color1);
    app.color2 = ReadColor(IniSection::Color, "color2", defaults.color2);
    char meter[METER_TEXT_CAPACITY];
    ReadText(IniSection::Color, "meter", "0,0", meter, sizeof meter);
    ParseMeterPair(meter, &app.meterGradient, &app.meterStep);
    for (int i = 0; i <= app.cpuCount; ++i) {
        char key[16];
        snprintf(key, sizeof key, "gcolor%d", i);
        app.gcolor[i] = ReadColor(IniSection::Color, key, DefaultGraphColor(i));
    }
    app.gcolorbk = ReadColor(IniSection::Color, "gcolorbk", defaults.gcolorbk);
    ReadText(IniSection::Color, "format_b", defaults.format_b, app.format_b, sizeof app.format_b);
    ReadText(IniSection::Color, "format_0", defaults.format_0, app.format_0, sizeof app.format_0);
    ReadText(IniSection::Color, "format_1", defaults.format_1, app.format_1, sizeof app.format_1);
    ReadText(IniSection::Color, "format_d", defaults.format_d, app.format_d, sizeof app.format_d);
}

void ReadLog() {
    app.logout = ReadInt(IniSection::Log, "logout", defaults.logout);
    app.log = EffectiveLog(app.log, app.logout);
    app.tmrate2 = ReadInt(IniSection::Log, "tmrate2", defaults.tmrate2);
    app.logappend = ReadInt(IniSection::Log, "logappend", defaults.logappend);
    app.logtime = ReadInt(IniSection::Log, "logtime", defaults.logtime);
    app.loglimit = ReadInt(IniSection::Log, "loglimit", defaults.loglimit);
    app.loglimitval = ReadInt(IniSection::Log, "loglimitval", defaults.loglimitval);
    app.logchange = ReadInt(IniSection::Log, "logchange", defaults.logchange);
    app.logchangeval = ReadInt(IniSection::Log, "logchangeval", defaults.logchangeval);
    ReadText(IniSection::Log, "logfile", defaults.logfile, app.logfile, sizeof app.logfile);
}

void ReadExt() {
    app.bgtrans = ReadInt(IniSection::Ext, "bgtrans", defaults.bgtrans);
    app.textcolor = ReadColor(IniSection::Ext, "textcolor", defaults.textcolor);
    app.tmrate3 = ReadInt(IniSection::Ext, "tmrate3", defaults.tmrate3);
    app.usericon = ReadInt(IniSection::Ext, "usericon", defaults.usericon);
    ReadText(IniSection::Ext, "iconpath", defaults.iconpath, app.iconpath, sizeof app.iconpath);
    ReadText(IniSection::Ext, "skinname", defaults.skinname, app.skinname, sizeof app.skinname);
    app.kakusi = ReadInt(IniSection::Ext, "kakusi", defaults.kakusi);
    app.memback = ReadColor(IniSection::Ext, "memback", defaults.memback);
    app.memtext = ReadColor(IniSection::Ext, "memtext", defaults.memtext);
    app.memtype = ReadInt(IniSection::Ext, "memtype", defaults.memtype);
}

bool WriteBlock(IniSection section) {
    char block[SECTION_BLOCK_CAPACITY];
    return BuildSectionBlock(section, app, block, sizeof block) != 0 &&
           WritePrivateProfileSectionA(SectionName(section, false), block, app.iniPath);
}

// Every section is written even after one has failed: a locked file may be
// free again for the next.
bool WriteSettings(bool full) {
    bool saved = WriteBlock(IniSection::Window);
    saved = WriteBlock(IniSection::Option) && saved;
    if (!full) return saved;
    saved = WriteBlock(IniSection::Config) && saved;
    saved = WriteBlock(IniSection::Color) && saved;
    char meter[METER_TEXT_CAPACITY];
    FormatMeterPair(app.meterGradient, app.meterStep, meter, sizeof meter);
    saved = WritePrivateProfileStringA("Config\\Color", "meter", meter, app.iniPath) && saved;
    for (int i = 0; i <= app.cpuCount; ++i) {
        char key[16], value[16];
        snprintf(key, sizeof key, "gcolor%d", i);
        snprintf(value, sizeof value, "0x%06x", app.gcolor[i]);
        saved = WritePrivateProfileStringA("Config\\Color", key, value, app.iniPath) && saved;
    }
    saved = WriteBlock(IniSection::Log) && saved;
    return WriteBlock(IniSection::Ext) && saved;
}

} // namespace

void LoadSettings() {
    const bool missing = GetFileAttributesA(app.iniPath) == INVALID_FILE_ATTRIBUTES;
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
    } else if (missing) {
        SaveSettings(true);
    }
}

void SaveSettings(bool full) {
    if (WriteSettings(full) || toldUnsaved) return;
    // Told before the box, whose message loop may run another save.
    toldUnsaved = true;
    char text[MAX_PATH + 128];
    FormatText(text, sizeof text, SAVE_FAILED, app.iniPath);
    MessageBoxA(app.mainWindow, text, ERROR_TITLE, MB_OK | MB_ICONWARNING);
}

void SaveSettingsAtSessionEnd() {
    WriteSettings(false);
}

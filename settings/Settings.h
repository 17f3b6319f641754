// The user's settings as they live in vantor.ini. Platform-free: the dialog's
// working copy is one of these too, and the host tests build it natively.
#pragma once
#include <cstdint>

// Capacities include the terminating zero; longer values are cut when read.
enum : int {
    FONT_CAPACITY = 32,
    FORMAT_B_CAPACITY = 20,
    FORMAT_0_CAPACITY = 24,
    FORMAT_1_CAPACITY = 24,
    FORMAT_D_CAPACITY = 8,
    PATH_CAPACITY = 260,
    SKINNAME_CAPACITY = 64,
};

// Colours are colour references: red in the lowest byte, then green, blue.
struct Settings {
    // [Window]
    int32_t posx = 0, posy = 0;
    int32_t colum = 1, row = 1;
    int32_t wintop = 0, winhide = 0, acthide = 0;

    // [Option]
    int32_t title = 0, iconanim = 0, multi = 0, trans = 0, log = 0;
    int32_t snap = 0, snapoffset = 10, memory = 0;

    // [Config]; its key `trans` is held in transAlpha.
    int32_t graph = 0, gline = 1, layout = 0, tmrate = 1000;
    int32_t transAlpha = 255, trans2 = 0;
    char font[FONT_CAPACITY] = "Courier New";
    int32_t fontsize = 15;

    // [Config\Color]
    uint32_t color0 = 0x00ff00, color1 = 0x00f0ff, color2 = 0x0000ff;
    uint32_t gcolorbk = 0xf0f0f0;
    // Japanese texts are written as CP932 bytes: the host compiler has no
    // CP932 execution character set. "\x81\x79,\x81\x7a" is 【,】.
    char format_b[FORMAT_B_CAPACITY] = "\x81\x79,\x81\x7a";
    char format_0[FORMAT_0_CAPACITY] = "CPU:_#0%";
    char format_1[FORMAT_1_CAPACITY] = "#i-#c%";
    char format_d[FORMAT_D_CAPACITY] = "/";
    int32_t meterGradient = 0, meterStep = 0; // the key `meter`
    uint32_t* gcolor = nullptr;               // cpuCount + 1 entries, owned elsewhere

    // [Config\Log]
    int32_t logout = 0, tmrate2 = 1000;
    char logfile[PATH_CAPACITY] = {};
    int32_t logappend = 0, logtime = 0, loglimit = 0, loglimitval = 0;
    int32_t logchange = 0, logchangeval = 0;

    // [Config\Ext]
    int32_t bgtrans = 0;
    uint32_t textcolor = 0xffffff;
    int32_t tmrate3 = 3000, usericon = 0;
    char iconpath[PATH_CAPACITY] = {};
    char skinname[SKINNAME_CAPACITY] = "default";
    int32_t kakusi = 0;
    uint32_t memback = 0x648080, memtext = 0xf00000;
    int32_t memtype = 0;
};

// Default graph colour of per-processor entry i (the table repeats every 9).
uint32_t DefaultGraphColor(int i);

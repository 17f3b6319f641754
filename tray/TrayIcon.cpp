#include "tray/TrayIcon.h"

#include <cstring>

#include "app/AppState.h"
#include "base/SafeText.h"
#include "base/WindowIds.h"
#include "measure/LoadHistory.h"
#include "measure/LoadSampler.h"
#include "titlebar/TitleFormat.h"
#include "view/Dpi.h"

namespace {

// The second form of the record: every system an x64 program runs on takes
// it, and its 128-byte tip holds the load text of many processors.
static_assert(sizeof(NOTIFYICONDATAA::szTip) == 128, "the tip of the record's second form");
const DWORD TRAY_RECORD_SIZE = NOTIFYICONDATAA_V2_SIZE;

enum : int { MAX_TIP_PROCESSORS = 64 };

// A shell that refuses the icon is asked again after 1 s, then 2, 4 ... up
// to a minute: asking on every tick would keep it busy for nothing.
enum : DWORD { FIRST_RETRY_PAUSE_MS = 1000, LAST_RETRY_PAUSE_MS = 60000 };

uint32_t iconsLoaded, iconsDestroyed;

HICON Counted(HANDLE icon) {
    if (icon) ++iconsLoaded;
    return static_cast<HICON>(icon);
}

IconSet::Icon LoadBuiltInIcon(int k, void*) {
    char name[16];
    FormatText(name, sizeof name, "TICON%02d", k);
    const int side = app.trayIconSize;
    return Counted(LoadImageA(app.instance, name, IMAGE_ICON, side, side, LR_DEFAULTCOLOR));
}

// An icon file; a path too long for the system is a file that does not load.
HICON LoadIconFile(const char* folder, const char* file) {
    char path[MAX_PATH];
    size_t want = strlen(folder) + 1 + strlen(file);
    if (FormatText(path, sizeof path, "%s\\%s", folder, file) != want) return nullptr;
    // The file's frame nearest the shell's size, scaled to it where it has none.
    const int side = app.trayIconSize;
    return Counted(LoadImageA(nullptr, path, IMAGE_ICON, side, side, LR_LOADFROMFILE));
}

// Each file of the folder whose name starts with a load from 0 to 100 goes
// at that threshold; the first file met keeps a threshold. A folder whose
// pattern does not fit a path is no folder.
void LoadIconFolder(const char* folder) {
    char pattern[MAX_PATH];
    if (FormatText(pattern, sizeof pattern, "%s\\*.ico", folder) != strlen(folder) + 6) return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        int threshold = app.trayIcons.placeFor(found.cFileName);
        if (threshold < 0) continue;
        app.trayIcons.insert(threshold, LoadIconFile(folder, found.cFileName));
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

bool Notify(DWORD message, NOTIFYICONDATAA* record) {
    return Shell_NotifyIconA(message, record) != FALSE;
}

void OfferTrayIcon(HWND window) {
    NOTIFYICONDATAA& d = app.trayData;
    ZeroMemory(&d, sizeof d);
    d.cbSize = TRAY_RECORD_SIZE;
    d.hWnd = window;
    d.uID = TRAY_ICON_ID;
    d.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    d.uCallbackMessage = WM_TRAYNOTIFY;
    HICON first = static_cast<HICON>(app.trayIcons.at(0));
    // An icon of the set that did not load would leave an empty place.
    d.hIcon = app.iconanim && first ? first : app.smallIcon;
    CopyText(d.szTip, sizeof d.szTip, VANTOR_TITLE);
    // The shell may still hold the icon (a "TaskbarCreated" that was no
    // restart): then it is modified.
    app.trayShown = Notify(NIM_ADD, &d) || Notify(NIM_MODIFY, &d);
    if (app.trayShown) {
        app.trayRetryPause = 0;
        return;
    }
    DWORD& pause = app.trayRetryPause;
    pause = pause == 0 ? FIRST_RETRY_PAUSE_MS
                       : (pause >= LAST_RETRY_PAUSE_MS / 2 ? LAST_RETRY_PAUSE_MS : pause * 2);
    app.trayRetryAt = GetTickCount() + pause;
}

// An icon the shell has just lost (a change refused) is offered again on the
// next tick.
void LoseTrayIcon() {
    app.trayShown = false;
    app.trayRetryPause = 0;
    app.trayRetryAt = GetTickCount();
}

// The program's own icon and the set at the size the shell shows icons at
// the taskbar's scale (16, 20, 24, 32 ... pixels), made again when that
// size changed; false when it had not.
bool SizeTrayIcons() {
    const int side = MetricForDpi(SM_CXSMICON, TaskbarDpi());
    if (side == app.trayIconSize && app.smallIcon) return false;
    app.trayIconSize = side > 0 ? side : 16;
    HICON old = app.smallIcon;
    app.smallIcon = static_cast<HICON>(LoadImageA(
        app.instance, "MYICON", IMAGE_ICON, app.trayIconSize, app.trayIconSize, LR_DEFAULTCOLOR));
    // The shell keeps its own copy of what it shows: the old handle can go.
    if (app.trayData.hIcon == old) app.trayData.hIcon = app.smallIcon;
    if (old) DestroyIcon(old);
    LoadTrayIcons();
    return true;
}

} // namespace

void DestroyTrayIconHandle(IconSet::Icon icon) {
    DestroyIcon(static_cast<HICON>(icon));
    ++iconsDestroyed;
}

TrayIconCounts CountTrayIcons() {
    return TrayIconCounts{iconsLoaded, iconsDestroyed};
}

void ClearTrayIcons() {
    app.trayIcons.clear();
}

void LoadTrayIcons() {
    ClearTrayIcons();
    // A handle of the old set may come back for an icon of the new one; the
    // shown icon is unknown from now on, so the next pick is sent.
    if (app.trayData.hIcon != app.smallIcon) app.trayData.hIcon = nullptr;
    if (app.iconpath[0]) LoadIconFolder(app.iconpath);
    app.trayIcons.completeWithBuiltIns(LoadBuiltInIcon, nullptr);
}

void ResizeTrayIcons() {
    if (!SizeTrayIcons() || !app.trayShown) return;
    // The picture the shell has is of the old size, smallIcon's included.
    app.trayData.hIcon = nullptr;
    UpdateTrayIcon(app.sampler ? app.sampler->loadOf(0) : 0);
}

void AddTrayIcon(HWND window) {
    SizeTrayIcons();
    // A new shell is asked at once, and soon again if it is not ready yet.
    app.trayRetryPause = 0;
    OfferTrayIcon(window);
}

void UpdateTrayIcon(uint32_t load) {
    // An icon the shell has not taken cannot change; the offer carries it.
    if (!app.trayShown) return;
    HICON icon = app.smallIcon;
    if (app.iconanim) {
        icon = static_cast<HICON>(app.trayIcons.pick(load));
        if (!icon || icon == app.trayData.hIcon) return;
    }
    NOTIFYICONDATAA d = app.trayData;
    d.uFlags = NIF_ICON;
    d.hIcon = icon;
    // On failure hIcon stays the icon really shown, and the icon is offered
    // again whole at the next tick.
    if (Notify(NIM_MODIFY, &d))
        app.trayData.hIcon = icon;
    else
        LoseTrayIcon();
}

void SetTrayTip(int count, const LoadHistory* history) {
    char tip[sizeof app.trayData.szTip];
    if (history) {
        if (count > MAX_TIP_PROCESSORS) count = MAX_TIP_PROCESSORS;
        uint32_t loads[MAX_TIP_PROCESSORS + 1];
        for (int i = 0; i <= count; ++i)
            loads[i] = history[i].latest();
        // Processors that do not fit are left out whole; the text is never
        // cut inside a character.
        FormatLoadText(app, loads, count, tip, sizeof tip);
    } else {
        CopyText(tip, sizeof tip, VANTOR_TITLE);
    }
    if (!app.trayShown || strcmp(tip, app.trayData.szTip) == 0) return;
    NOTIFYICONDATAA d = app.trayData;
    d.uFlags = NIF_TIP;
    CopyText(d.szTip, sizeof d.szTip, tip);
    if (Notify(NIM_MODIFY, &d))
        CopyText(app.trayData.szTip, sizeof app.trayData.szTip, tip);
    else
        LoseTrayIcon();
}

void RemoveTrayIcon() {
    if (app.trayData.hWnd) Notify(NIM_DELETE, &app.trayData);
    app.trayShown = false;
}

void UpdateTrayOnTick(HWND window) {
    if (!app.trayShown && static_cast<LONG>(GetTickCount() - app.trayRetryAt) >= 0)
        OfferTrayIcon(window);
    if (!app.trayShown || !app.loadHistory) return;
    if (app.iconanim) UpdateTrayIcon(app.loadHistory[0].latest());
    if (app.winhide) SetTrayTip(app.multi ? app.cpuCount : 0, app.loadHistory);
}

void OnIconAnimChanged() {
    UpdateTrayIcon(app.sampler ? app.sampler->loadOf(0) : 0);
}

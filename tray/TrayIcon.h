// The notification-area icon: its icon set, its picture for the total load
// and its tip.
#pragma once
#include <windows.h>

#include <cstdint>

class LoadHistory;

enum : UINT { TRAY_ICON_ID = 1 };

// Rebuilds app.trayIcons from app.iconpath (a folder of "<load>.ico" files)
// or from the built-in icons, at trayIconSize.
void LoadTrayIcons();
// After a change of scale: when the shell now shows icons at another size,
// the program's icon and the set are made again at it and the shell is given
// the new picture.
void ResizeTrayIcons();
// Destroys every icon of the set.
void ClearTrayIcons();

// Adds the icon, at the size the shell shows (the one for load 0 with
// iconanim on, else the program's own), with the tip "Vantor", at once
// (start-up, "TaskbarCreated"). An icon the shell already has is modified
// instead; one the shell refuses is offered again by a later sampling tick,
// after a pause that grows with each refusal.
void AddTrayIcon(HWND window);
// Shows the icon for a total load (iconanim on), or the program's own icon.
void UpdateTrayIcon(uint32_t load);
// The tip: the load text of the newest figures of count processors, or
// "Vantor" without a history.
void SetTrayTip(int count, const LoadHistory* history);
// Deletes the icon from the notification area.
void RemoveTrayIcon();

// The sampling tick's share: the icon for the newest total while iconanim is
// on, the load text as tip while the window is hidden.
void UpdateTrayOnTick(HWND window);
// After iconanim was switched: the icon for the sampler's current total.
void OnIconAnimChanged();

// Icons loaded and destroyed since start (the set's own accounting).
struct TrayIconCounts {
    uint32_t loaded, destroyed;
};
TrayIconCounts CountTrayIcons();

#include "app/SampleTick.h"

#include "app/AppState.h"
#include "app/MainWindow.h"
#include "measure/LoadHistory.h"
#include "measure/LoadSampler.h"
#include "titlebar/TitleBar.h"
#include "tray/TrayIcon.h"

void OnSampleTick(HWND hwnd, LoadMeter* meter) {
    // Without new figures nothing downstream changes.
    if (!app.sampler || !app.loadHistory) return;
    if (meter ? !app.sampler->sample(*meter) : !app.sampler->sample()) return;
    for (int s = 0; s <= app.cpuCount; ++s)
        app.loadHistory[s].push(meter ? meter->loadOf(s) : app.sampler->loadOf(s));
    // The watch may end the program; then the window is gone.
    if (RunAutoExitWatch(hwnd)) return;
    if (app.title) UpdateTitleBar();
    UpdateTrayOnTick(hwnd);
    // A hidden window has nothing to show; the back buffer covers the
    // whole window, so nothing is erased.
    if (!app.winhide) InvalidateRect(hwnd, nullptr, FALSE);
}

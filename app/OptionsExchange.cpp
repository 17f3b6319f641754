// Taking the options dialog's working copy over, in a fixed order: each
// drawing object, timer and menu item is renewed only when its settings
// changed, and every object is replaced before its old handle is deleted.
#include "app/OptionsExchange.h"

#include "app/AppState.h"
#include "app/Commands.h"
#include "app/MainWindow.h"
#include "app/Placement.h"
#include "base/SafeText.h"
#include "desktop/DesktopText.h"
#include "log/LoadLog.h"
#include "measure/LoadSampler.h"
#include "options/OptionRules.h"
#include "options/OptionsDialog.h"
#include "res/options.h"
#include "res/resource.h"
#include "settings/SettingLimits.h"
#include "settings/SettingsFile.h"
#include "titlebar/TitleBar.h"
#include "tray/TrayIcon.h"
#include "view/Layout.h"
#include "view/Skin.h"

namespace {

void TakeOverTimer(HWND window, const PendingSettings& p, const OptionChanges& changed) {
    if (!changed.samplePeriod) return;
    app.tmrate = p.tmrate;
    KillTimer(window, TIMER_SAMPLE);
    SetTimer(window, TIMER_SAMPLE, UsableTimerPeriod(app.tmrate, Settings().tmrate), nullptr);
}

void TakeOverDrawing(HWND window, const PendingSettings& p, const OptionChanges& changed) {
    if (changed.font) {
        app.fontsize = p.fontsize;
        CopyText(app.font, sizeof app.font, p.font);
        CreateViewFonts();
    }
    app.graph = p.graph;
    app.layout = p.layout;
    app.trans2 = p.trans2;
    app.gline = p.gline;
    app.transAlpha = p.transAlpha;
    RestoreOpacity(window);

    app.color0 = p.color0;
    app.color1 = p.color1;
    app.color2 = p.color2;
    app.gcolorbk = p.gcolorbk;
    if (changed.meterBrush[0] || changed.meterBrush[1] || changed.meterBrush[2] ||
        changed.graphBack)
        CreateMeterBrushes();
    if (changed.graphBack) CreateGridPen();
    for (int i = 0; i <= app.cpuCount; ++i)
        app.gcolor[i] = p.gcolor[i];
    CreateGraphPens();
    app.meterGradient = p.meterGradient;
    app.meterStep = p.meterStep;
    // The caption in the foreground still carries the text in the old
    // format, which the new one would not recognise as ours.
    if (app.title && changed.titleFormats) RestoreTitleBar();
    CopyText(app.format_b, sizeof app.format_b, p.format_b);
    CopyText(app.format_0, sizeof app.format_0, p.format_0);
    CopyText(app.format_1, sizeof app.format_1, p.format_1);
    CopyText(app.format_d, sizeof app.format_d, p.format_d);
    CompileTitleFormats();

    // The skin names the icon folder only for a user without icons of
    // their own: that choice is taken first, or switching it off would keep
    // the user's folder until the next start.
    app.usericon = p.usericon;
    CopyText(app.skinname, sizeof app.skinname, p.skinname);
    // A skin that cannot be read leaves every piece empty: the window is
    // drawn without a skin, never from released bitmaps.
    ReleaseSkin();
    LoadSkin();
}

void TakeOverIcons(const PendingSettings& p) {
    if (app.usericon) CopyText(app.iconpath, sizeof app.iconpath, p.iconpath);
    LoadTrayIcons();
}

void TakeOverLog(HWND window, const PendingSettings& p, const OptionChanges& changed) {
    app.logout = p.logout;
    app.logtime = p.logtime;
    app.logappend = p.logappend;
    if (app.logHandle && changed.logFile) CloseLog(window);
    app.tmrate2 = p.tmrate2;
    CopyText(app.logfile, sizeof app.logfile, p.logfile);
    bool running = false;
    if (app.logout) {
        EnableMenuItem(app.popupMenu, IDM_LOG, MF_BYCOMMAND | MF_ENABLED);
        running = !app.log || app.logHandle ||
                  OpenLog(window, app.sampler ? app.sampler->processorCount() : 1);
    }
    if (!running) {
        app.log = 0;
        SetLogItem(false, true);
    }
    app.loglimit = p.loglimit;
    app.loglimitval = p.loglimitval;
    app.logchange = p.logchange;
    app.logchangeval = p.logchangeval;
    ResetLogFilter();
}

void TakeOverMemoryItem(const PendingSettings& p, const OptionChanges& changed) {
    if (!changed.memoryItem) return;
    app.kakusi = p.kakusi;
    if (!app.popupMenu) return;
    const bool present = GetMenuState(app.popupMenu, IDM_MEMORY, MF_BYCOMMAND) != 0xFFFFFFFFu;
    if (app.kakusi && !present) {
        // Below "画面端にスナップ", above the separator.
        InsertMenuA(app.popupMenu, 5, MF_BYPOSITION | MF_STRING | (app.memory ? MF_CHECKED : 0),
                    IDM_MEMORY, "メモリ容量表示");
        SetMenuItemBitmaps(app.popupMenu, IDM_MEMORY, MF_BYCOMMAND, nullptr, app.checkMarkBitmap);
    } else if (!app.kakusi && present) {
        DeleteMenu(app.popupMenu, IDM_MEMORY, MF_BYCOMMAND);
    }
}

void TakeOverMemoryLine(const PendingSettings& p) {
    app.memtype = p.memtype;
    app.memback = p.memback;
    app.memtext = p.memtext;
}

// The settings after the log's are only stored, for there is nothing left
// to renew, and the whole file is saved.
void SaveWithoutWindow(const PendingSettings& p) {
    app.bgtrans = p.bgtrans;
    app.textcolor = p.textcolor;
    app.tmrate3 = p.tmrate3;
    app.kakusi = p.kakusi;
    TakeOverMemoryLine(p);
    SaveSettings(true);
}

} // namespace

void TakeOverOptions(HWND window, int result) {
    if (result != IDOK && result != IDC_APPLY_NOSAVE) {
        RestoreOpacity(window);
        return;
    }
    const PendingSettings& p = app.pendingSettings;
    const OptionChanges changed = CompareOptions(app, p);
    TakeOverTimer(window, p, changed);
    TakeOverDrawing(window, p, changed);
    TakeOverIcons(p);
    TakeOverLog(window, p, changed);
    // The log's message box runs a message loop: the window may have been
    // closed from it (auto-exit), and its shutdown has put everything away.
    // What OK chose is written all the same.
    if (!IsWindow(window)) {
        if (result == IDOK) SaveWithoutWindow(p);
        return;
    }
    ChangeDesktopTextOptions(window, p.bgtrans, p.textcolor, p.tmrate3);
    TakeOverMemoryItem(p, changed);
    TakeOverMemoryLine(p);
    // The place the new size moves the window to is saved with the rest.
    Relayout(window, app.graph == 0, -1);
    if (result == IDOK) SaveSettings(true);
}

void RunOptionsDialog(HWND window) {
    // A second dialog would fill the working copy afresh under the first,
    // whose edits would be lost: the open one is brought to the front.
    if (app.optionsDialog) {
        SetForegroundWindow(app.optionsDialog);
        return;
    }
    app.pendingSettings.mainWindow = window;
    const INT_PTR result = DialogBoxParamA(app.instance, "OPTIONDLG", window, OptionsDialogProc, 0);
    TakeOverOptions(window, static_cast<int>(result));
}

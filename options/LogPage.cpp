// Third page: whether and where the load log is written, its interval, and
// the two thresholds that keep it small.
#include <initializer_list>

#include "app/AppState.h"
#include <commctrl.h>
#include "base/SafeText.h"
#include "options/OptionsDialog.h"
#include "options/PageKit.h"
#include "res/options.h"

namespace {

struct LogPage {
    HWND fileBox = nullptr, slider = nullptr;
    HBITMAP browseImage = nullptr;
    bool loading = false; // the page fills its own boxes: no warnings then
};
LogPage page2;

void EnableLimitControls(HWND page, bool on) {
    for (int id : {IDC_LP_LIMITVAL, IDC_LP_CHANGE, IDC_LP_CHANGEVAL})
        Enable(page, id, on);
}

void EnableLogControls(HWND page, bool on) {
    for (int id : {IDC_LP_LOGFILE, IDC_LP_BROWSE, IDC_LP_LOGTIME, IDC_LP_APPEND, IDC_LP_TMRATE2,
                   IDC_LP_TMRATE2_SLIDER, IDC_LP_LIMIT})
        Enable(page, id, on);
    EnableLimitControls(page, on && Checked(page, IDC_LP_LIMIT));
}

void OnInit(HWND page) {
    page2.loading = true;
    PlacePage(page);
    FitNumberBox(page, IDC_LP_TMRATE2);
    FitNumberBox(page, IDC_LP_LIMITVAL);
    FitNumberBox(page, IDC_LP_CHANGEVAL);
    page2.fileBox = GetDlgItem(page, IDC_LP_LOGFILE);
    page2.slider = GetDlgItem(page, IDC_LP_TMRATE2_SLIDER);
    SetBrowseImage(page, IDC_LP_BROWSE, &page2.browseImage);
    const PendingSettings& p = app.pendingSettings;
    SetChecked(page, IDC_LP_LOGOUT, p.logout != 0);
    SetWindowTextA(page2.fileBox, p.logfile);
    SetChecked(page, IDC_LP_LOGTIME, p.logtime != 0);
    SetChecked(page, IDC_LP_APPEND, p.logappend != 0);
    WriteNumber(page, IDC_LP_TMRATE2, p.tmrate2);
    SetUpSlider(page2.slider, 300, 3000, 100, p.tmrate2);
    SetChecked(page, IDC_LP_LIMIT, p.loglimit != 0);
    WriteNumber(page, IDC_LP_LIMITVAL, p.loglimitval);
    SetChecked(page, IDC_LP_CHANGE, p.logchange != 0);
    WriteNumber(page, IDC_LP_CHANGEVAL, p.logchangeval);
    EnableLogControls(page, p.logout != 0);
    page2.loading = false;
}

void ChooseLogFile(HWND page) {
    PendingSettings& p = app.pendingSettings;
    // The chooser writes into a copy: a cancelled one leaves the name alone.
    char file[PATH_CAPACITY] = {};
    CopyText(file, sizeof file, p.logfile);
    OPENFILENAMEA chooser = {};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = page;
    chooser.lpstrFilter = "All Files(*.*)\0*.*\0";
    chooser.lpstrFile = file;
    chooser.nMaxFile = sizeof file;
    chooser.lpstrDefExt = "log";
    chooser.lpstrTitle = "Vantor のログファイル";
    chooser.Flags = OFN_HIDEREADONLY | OFN_NONETWORKBUTTON;
    if (!GetSaveFileNameA(&chooser)) return;
    CopyText(p.logfile, sizeof p.logfile, file);
    SetWindowTextA(page2.fileBox, p.logfile);
}

bool OnCommand(HWND page, int id, int code) {
    switch (id) {
    case IDC_LP_LOGOUT: EnableLogControls(page, Checked(page, IDC_LP_LOGOUT)); return true;
    case IDC_LP_BROWSE: ChooseLogFile(page); return true;
    case IDC_LP_TMRATE2:
        if (code != EN_CHANGE) return false;
        SendMessageA(page2.slider, TBM_SETPOS, TRUE, ReadNumber(page, IDC_LP_TMRATE2));
        return true;
    case IDC_LP_LIMITVAL:
        if (code != EN_CHANGE) return false;
        if (!page2.loading && ReadNumber(page, IDC_LP_LIMITVAL) >= 100)
            MessageBoxA(page, "100以上を指定するとログに出力されません。", "Vantor",
                        MB_OK | MB_ICONINFORMATION);
        return true;
    case IDC_LP_LIMIT: EnableLimitControls(page, Checked(page, IDC_LP_LIMIT)); return true;
    default: return false;
    }
}

void OnCollect(HWND page) {
    PendingSettings& p = app.pendingSettings;
    p.logout = Checked(page, IDC_LP_LOGOUT) ? 1 : 0;
    ReadText(page, IDC_LP_LOGFILE, p.logfile, sizeof p.logfile);
    p.tmrate2 = ReadNumber(page, IDC_LP_TMRATE2);
    p.logtime = Checked(page, IDC_LP_LOGTIME) ? 1 : 0;
    p.logappend = Checked(page, IDC_LP_APPEND) ? 1 : 0;
    p.loglimit = Checked(page, IDC_LP_LIMIT) ? 1 : 0;
    p.loglimitval = ReadNumber(page, IDC_LP_LIMITVAL);
    p.logchange = Checked(page, IDC_LP_CHANGE) ? 1 : 0;
    p.logchangeval = ReadNumber(page, IDC_LP_CHANGEVAL);
}

} // namespace

INT_PTR CALLBACK LogPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG: OnInit(page); return TRUE;
    case WM_COMMAND: return OnCommand(page, LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_HSCROLL:
        WriteNumber(page, IDC_LP_TMRATE2,
                    static_cast<int32_t>(SendMessageA(page2.slider, TBM_GETPOS, 0, 0)));
        return TRUE;
    case WM_OPTIONS_COLLECT: OnCollect(page); return TRUE;
    case WM_DPICHANGED_AFTERPARENT: // moved to a monitor of another scale
        PlacePage(page);
        SetBrowseImage(page, IDC_LP_BROWSE, &page2.browseImage);
        return TRUE;
    case WM_DESTROY:
        if (page2.browseImage) DeleteObject(page2.browseImage);
        page2 = LogPage{};
        return FALSE;
    default: return FALSE;
    }
}

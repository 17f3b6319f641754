// The dialog frame: fills the working copy, holds the four pages under the
// tab control, and ends with the button's result once every page is collected.
#include "options/OptionsDialog.h"

#include "app/AppState.h"
#include <commctrl.h>
#include "res/options.h"

namespace {

struct PageResource {
    const char* caption;
    const char* resource;
    DLGPROC procedure;
};

const PageResource kPages[OPTION_PAGE_COUNT] = {
    {"動作設定", "TPAGE0", OperationPageProc},
    {"表示設定", "TPAGE1", DisplayPageProc},
    {"ログ保存", "TPAGE2", LogPageProc},
    {"おまけ :-)", "TPAGE3", ExtrasPageProc},
};

// Every setting as it is in force; the graph colours into the working
// copy's own array. The main window stays as the caller set it.
void FillPendingSettings() {
    PendingSettings& p = app.pendingSettings;
    const HWND mainWindow = p.mainWindow;
    static_cast<Settings&>(p) = app;
    p.mainWindow = mainWindow;
    p.gcolor = app.pendingGcolor;
    for (int i = 0; i <= app.cpuCount; ++i)
        p.gcolor[i] = app.gcolor[i];
}

void AddPage(HWND tab, int index) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(kPages[index].caption);
    SendMessageA(tab, TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    app.optionPages[index] =
        CreateDialogParamA(app.instance, kPages[index].resource, tab, kPages[index].procedure, 0);
    if (app.optionPages[index]) ShowWindow(app.optionPages[index], index == 0 ? SW_SHOW : SW_HIDE);
}

void PrepareColorChooser(HWND dialog) {
    for (COLORREF& c : app.customColors)
        c = 0;
    app.colorChooser = CHOOSECOLORA{};
    app.colorChooser.lStructSize = sizeof app.colorChooser;
    app.colorChooser.hwndOwner = dialog;
    app.colorChooser.lpCustColors = app.customColors;
    app.colorChooser.Flags = CC_RGBINIT;
}

BOOL OnInitDialog(HWND dialog) {
    app.optionsDialog = dialog;
    FillPendingSettings();
    InitCommonControls();
    HWND tab = GetDlgItem(dialog, IDC_OPTIONS_TAB);
    // The pages are the tab control's children: the Tab key reaches their
    // controls only through a control parent.
    SetWindowLongA(tab, GWL_EXSTYLE, GetWindowLongA(tab, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    for (int i = 0; i < OPTION_PAGE_COUNT; ++i)
        AddPage(tab, i);
    PrepareColorChooser(dialog);
    return TRUE;
}

void ShowSelectedPage(HWND dialog) {
    const LRESULT selected = SendDlgItemMessageA(dialog, IDC_OPTIONS_TAB, TCM_GETCURSEL, 0, 0);
    if (selected < 0 || selected >= OPTION_PAGE_COUNT) return;
    for (int i = 0; i < OPTION_PAGE_COUNT; ++i)
        if (app.optionPages[i]) ShowWindow(app.optionPages[i], i == selected ? SW_SHOW : SW_HIDE);
}

void Finish(HWND dialog, int result) {
    for (HWND page : app.optionPages)
        if (page) SendMessageA(page, WM_OPTIONS_COLLECT, 0, 0);
    const PendingSettings& p = app.pendingSettings;
    if (p.logout && p.logfile[0] == '\0') {
        MessageBoxA(dialog, "ログファイル名を指定してください。", "Vantor エラー",
                    MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    EndDialog(dialog, result);
}

} // namespace

INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(lParam)->idFrom == IDC_OPTIONS_TAB) ShowSelectedPage(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: Finish(dialog, IDOK); return TRUE;
        case IDC_APPLY_NOSAVE: Finish(dialog, IDC_APPLY_NOSAVE); return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        default: return FALSE;
        }
    case WM_DESTROY:
        for (HWND& page : app.optionPages)
            page = nullptr;
        app.optionsDialog = nullptr;
        return FALSE;
    default: return FALSE;
    }
}

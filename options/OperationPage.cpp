// First page: graph mode, grid form, sampling interval and the two
// opacities, which the main window shows at once while a slider moves.
#include <initializer_list>

#include "app/AppState.h"
#include <commctrl.h>
#include "options/OptionsDialog.h"
#include "options/PageKit.h"
#include "res/options.h"

namespace {

struct OperationPage {
    HWND rateSlider = nullptr, transSlider = nullptr, trans2Slider = nullptr;
};
OperationPage page0;

void AddGraphModes(HWND page, int32_t graph) {
    for (const char* mode : {"常に表示", "マウスオーバーで表示", "表示しない"})
        SendDlgItemMessageA(page, IDC_OP_GRAPH, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(mode));
    SendDlgItemMessageA(page, IDC_OP_GRAPH, CB_SETCURSEL, static_cast<WPARAM>(graph), 0);
}

void SetUpOpacity(HWND page, const PendingSettings& p) {
    if (!app.osNt5OrLater) {
        for (int id : {IDC_OP_TRANS_SLIDER, IDC_OP_TRANS2_SLIDER, IDC_OP_TRANS2_ON})
            Enable(page, id, false);
        return;
    }
    WriteNumber(page, IDC_OP_TRANS_VALUE, p.transAlpha);
    SetUpSlider(page0.transSlider, 1, 255, 0, p.transAlpha);
    SendMessageA(page0.transSlider, TBM_SETTIC, 0, 127);
    SendMessageA(page0.trans2Slider, TBM_SETRANGE, TRUE, MAKELPARAM(1, 255));
    SendMessageA(page0.trans2Slider, TBM_SETTIC, 0, 127);
    int32_t v = 255;
    if (p.trans2 != 0) {
        SetChecked(page, IDC_OP_TRANS2_ON, true);
        v = p.trans2;
    }
    WriteNumber(page, IDC_OP_TRANS2_VALUE, v);
    SendMessageA(page0.trans2Slider, TBM_SETPOS, TRUE, v);
}

void OnInit(HWND page) {
    PlacePage(page);
    FitNumberBox(page, IDC_OP_TMRATE);
    page0.rateSlider = GetDlgItem(page, IDC_OP_TMRATE_SLIDER);
    page0.transSlider = GetDlgItem(page, IDC_OP_TRANS_SLIDER);
    page0.trans2Slider = GetDlgItem(page, IDC_OP_TRANS2_SLIDER);
    const PendingSettings& p = app.pendingSettings;
    AddGraphModes(page, p.graph);
    SetChecked(page, IDC_OP_LAYOUT, p.layout == 0);
    WriteNumber(page, IDC_OP_TMRATE, p.tmrate);
    SetUpSlider(page0.rateSlider, 300, 3000, 100, p.tmrate);
    SetUpOpacity(page, p);
}

void Preview(int alpha) {
    if (app.pfnSetLayeredWindowAttributes && app.pendingSettings.mainWindow)
        app.pfnSetLayeredWindowAttributes(app.pendingSettings.mainWindow, 0,
                                          static_cast<BYTE>(alpha), LWA_ALPHA);
}

void OnScroll(HWND page, HWND slider) {
    const int position = static_cast<int>(SendMessageA(slider, TBM_GETPOS, 0, 0));
    if (slider == page0.rateSlider) {
        WriteNumber(page, IDC_OP_TMRATE, position);
    } else if (slider == page0.transSlider) {
        WriteNumber(page, IDC_OP_TRANS_VALUE, position);
        Preview(position);
    } else if (slider == page0.trans2Slider) {
        WriteNumber(page, IDC_OP_TRANS2_VALUE, position);
        Preview(position);
    }
}

void OnCollect(HWND page) {
    PendingSettings& p = app.pendingSettings;
    p.graph = static_cast<int32_t>(SendDlgItemMessageA(page, IDC_OP_GRAPH, CB_GETCURSEL, 0, 0));
    p.layout = Checked(page, IDC_OP_LAYOUT) ? 0 : 1;
    p.tmrate = ReadNumber(page, IDC_OP_TMRATE);
    p.transAlpha = ReadNumber(page, IDC_OP_TRANS_VALUE);
    p.trans2 = Checked(page, IDC_OP_TRANS2_ON) ? ReadNumber(page, IDC_OP_TRANS2_VALUE) : 0;
}

} // namespace

INT_PTR CALLBACK OperationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInit(page); return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) != EN_CHANGE) return FALSE;
        SendMessageA(page0.rateSlider, TBM_SETPOS, TRUE, ReadNumber(page, IDC_OP_TMRATE));
        return TRUE;
    case WM_HSCROLL: OnScroll(page, reinterpret_cast<HWND>(lParam)); return TRUE;
    case WM_OPTIONS_COLLECT: OnCollect(page); return TRUE;
    case WM_DPICHANGED_AFTERPARENT: PlacePage(page); return TRUE; // another monitor's scale
    default: return FALSE;
    }
}

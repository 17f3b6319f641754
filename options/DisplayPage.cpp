// Second page: the processor font, meter colours, gradient and step, graph
// colours and line style, and the four title-bar formats.

#include <cstdlib>
#include <new>

#include <initializer_list>

#include "app/AppState.h"
#include <commctrl.h>
#include "base/SafeText.h"
#include "view/Dpi.h"
#include "view/Scale.h"
#include "options/OptionRules.h"
#include "options/OptionsDialog.h"
#include "options/PageKit.h"
#include "res/options.h"

namespace {

struct DisplayPage {
    HBRUSH meterBrushes[3] = {};
    HBRUSH* seriesBrushes = nullptr; // cpuCount + 1
    HBRUSH backBrush = nullptr;
    HWND meterSwatches[3] = {};
    HWND seriesSwatch = nullptr, backSwatch = nullptr, seriesList = nullptr;
    int selectedSeries = 0;
};
DisplayPage page1;

// In pixels: 13 at 96 dpi, grown with the scale of the page's monitor.
HFONT CreateListFont(HWND window) {
    return CreateFontA(Scaled(13, WindowDpi(window)), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, 0,
                       "ＭＳ Ｐゴシック");
}

uint32_t* MeterColour(int k) {
    PendingSettings& p = app.pendingSettings;
    uint32_t* colours[3] = {&p.color0, &p.color1, &p.color2};
    return colours[k];
}

// One entry's height: the text "Tcpu9" in the list font.
UINT SeriesItemHeight(HWND page) {
    HDC dc = GetDC(page);
    HFONT font = CreateListFont(page);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, "Tcpu9", 5, &size);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(page, dc);
    return static_cast<UINT>(size.cy);
}

void OnDrawItem(const DRAWITEMSTRUCT* item) {
    if (item->itemID == static_cast<UINT>(-1)) return;
    char text[32] = {};
    if (SendMessageA(item->hwndItem, LB_GETTEXTLEN, item->itemID, 0) <
        static_cast<LRESULT>(sizeof text))
        SendMessageA(item->hwndItem, LB_GETTEXT, item->itemID, reinterpret_cast<LPARAM>(text));
    HDC dc = item->hDC;
    const RECT& r = item->rcItem;
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const COLORREF oldText =
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));

    const int side = r.bottom - r.top - 2;
    RECT square = {r.left + 1, r.top + 1, r.left + 1 + side, r.bottom - 1};
    if (static_cast<int>(item->itemID) <= app.cpuCount) {
        HBRUSH brush = CreateSolidBrush(app.pendingSettings.gcolor[item->itemID]);
        FillRect(dc, &square, brush);
        DeleteObject(brush);
    }

    HFONT font = CreateListFont(item->hwndItem);
    HGDIOBJ oldFont = SelectObject(dc, font);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const int gap = Scaled(2, WindowDpi(item->hwndItem));
    TextOutA(dc, square.right + gap, r.top, text, lstrlenA(text));
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    SetTextColor(dc, oldText);
}

void LoadFormats(HWND page) {
    SetDlgItemTextA(page, IDC_DP_FORMAT_B, app.format_b);
    SetDlgItemTextA(page, IDC_DP_FORMAT_0, app.format_0);
    SetDlgItemTextA(page, IDC_DP_FORMAT_1, app.format_1);
    SetDlgItemTextA(page, IDC_DP_FORMAT_D, app.format_d);
    if (app.cpuCount != 0) {
        SetDlgItemTextA(page, IDC_DP_FORMAT_0_LABEL, "Total");
        for (int id :
             {IDC_DP_FORMAT_1_LABEL, IDC_DP_FORMAT_1, IDC_DP_FORMAT_D_LABEL, IDC_DP_FORMAT_D})
            Enable(page, id, true);
    }
}

void CreateBrushes() {
    const PendingSettings& p = app.pendingSettings;
    for (int k = 0; k < 3; ++k)
        page1.meterBrushes[k] = CreateSolidBrush(*MeterColour(k));
    page1.seriesBrushes = new (std::nothrow) HBRUSH[app.cpuCount + 1]();
    if (page1.seriesBrushes)
        for (int i = 0; i <= app.cpuCount; ++i)
            page1.seriesBrushes[i] = CreateSolidBrush(p.gcolor[i]);
    page1.backBrush = CreateSolidBrush(p.gcolorbk);
}

void OnInit(HWND page) {
    PlacePage(page);
    const PendingSettings& p = app.pendingSettings;
    SetChecked(page, IDC_DP_GLINE, p.gline != 0);
    SetChecked(page, IDC_DP_GRADIENT, p.meterGradient != 0);
    SetDlgItemTextA(page, IDC_DP_FONT_NAME, p.font);
    const int swatchIds[3] = {IDC_DP_COLOR0, IDC_DP_COLOR1, IDC_DP_COLOR2};
    for (int k = 0; k < 3; ++k)
        page1.meterSwatches[k] = GetDlgItem(page, swatchIds[k]);
    page1.seriesSwatch = GetDlgItem(page, IDC_DP_SERIES_COLOR);
    page1.backSwatch = GetDlgItem(page, IDC_DP_BACK_COLOR);
    page1.seriesList = GetDlgItem(page, IDC_DP_SERIES_LIST);
    CreateBrushes();
    LoadFormats(page);

    for (const char* step : {"大", "小", "連続"})
        SendDlgItemMessageA(page, IDC_DP_STEP, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(step));
    SendDlgItemMessageA(page, IDC_DP_STEP, CB_SETCURSEL, static_cast<WPARAM>(p.meterStep), 0);

    SendMessageA(page1.seriesList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Total"));
    for (int i = 1; i <= app.cpuCount; ++i) {
        char name[16];
        FormatText(name, sizeof name, "cpu %d", i);
        SendMessageA(page1.seriesList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    SendMessageA(page1.seriesList, LB_SETCURSEL, 0, 0);
    page1.selectedSeries = 0;
}

void ChooseFont(HWND page) {
    PendingSettings& p = app.pendingSettings;
    LOGFONTA font = {};
    CopyText(font.lfFaceName, sizeof font.lfFaceName, p.font);
    font.lfHeight = p.fontsize;
    CHOOSEFONTA chooser = {};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = page;
    chooser.lpLogFont = &font;
    chooser.Flags =
        CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_SCALABLEONLY | CF_TTONLY | CF_NOVERTFONTS;
    if (!ChooseFontA(&chooser)) return;
    CopyText(p.font, sizeof p.font, font.lfFaceName);
    SetDlgItemTextA(page, IDC_DP_FONT_NAME, p.font);
    p.fontsize = std::abs(font.lfHeight);
}

bool OnCommand(HWND page, int id, int code) {
    PendingSettings& p = app.pendingSettings;
    switch (id) {
    case IDC_DP_COLOR0:
    case IDC_DP_COLOR1:
    case IDC_DP_COLOR2: {
        const int k = id - IDC_DP_COLOR0;
        if (ChooseColour(MeterColour(k)))
            RenewSwatch(&page1.meterBrushes[k], *MeterColour(k), page1.meterSwatches[k]);
        return true;
    }
    case IDC_DP_SERIES_COLOR: {
        const int i = page1.selectedSeries;
        if (page1.seriesBrushes && ChooseColour(&p.gcolor[i])) {
            RenewSwatch(&page1.seriesBrushes[i], p.gcolor[i], page1.seriesSwatch);
            InvalidateRect(page1.seriesList, nullptr, TRUE);
        }
        return true;
    }
    case IDC_DP_BACK_COLOR:
        if (ChooseColour(&p.gcolorbk)) RenewSwatch(&page1.backBrush, p.gcolorbk, page1.backSwatch);
        return true;
    case IDC_DP_SERIES_LIST:
        if (code == LBN_SELCHANGE) {
            const LRESULT at = SendMessageA(page1.seriesList, LB_GETCURSEL, 0, 0);
            if (at >= 0 && at <= app.cpuCount) page1.selectedSeries = static_cast<int>(at);
            InvalidateRect(page1.seriesSwatch, nullptr, TRUE);
        }
        return true;
    case IDC_DP_FONT_CHANGE: ChooseFont(page); return true;
    default: return false;
    }
}

HBRUSH SwatchBrush(HWND control) {
    for (int k = 0; k < 3; ++k)
        if (control == page1.meterSwatches[k]) return page1.meterBrushes[k];
    if (control == page1.seriesSwatch && page1.seriesBrushes)
        return page1.seriesBrushes[page1.selectedSeries];
    if (control == page1.backSwatch) return page1.backBrush;
    return nullptr;
}

void ReadFormat(HWND page, int id, char* dst, size_t cap) {
    ReadText(page, id, dst, cap);
    SpacesToUnderscores(dst);
}

void OnCollect(HWND page) {
    PendingSettings& p = app.pendingSettings;
    p.gline = Checked(page, IDC_DP_GLINE) ? 1 : 0;
    p.meterGradient = Checked(page, IDC_DP_GRADIENT) ? 1 : 0;
    p.meterStep = static_cast<int32_t>(SendDlgItemMessageA(page, IDC_DP_STEP, CB_GETCURSEL, 0, 0));
    // Into the working copy: a cancelled dialog must leave the formats in
    // force, even after a refused OK has collected them.
    ReadFormat(page, IDC_DP_FORMAT_B, p.format_b, sizeof p.format_b);
    ReadFormat(page, IDC_DP_FORMAT_0, p.format_0, sizeof p.format_0);
    ReadFormat(page, IDC_DP_FORMAT_1, p.format_1, sizeof p.format_1);
    ReadFormat(page, IDC_DP_FORMAT_D, p.format_d, sizeof p.format_d);
}

// Moved to a monitor of another scale: the list measures its entries once
// only, when it is made.
void OnScaleChanged(HWND page) {
    PlacePage(page);
    SendMessageA(page1.seriesList, LB_SETITEMHEIGHT, 0,
                 static_cast<LPARAM>(SeriesItemHeight(page)));
    InvalidateRect(page1.seriesList, nullptr, TRUE);
}

void OnDestroy() {
    for (HBRUSH& b : page1.meterBrushes)
        DeleteBrush(&b);
    if (page1.seriesBrushes) {
        for (int i = 0; i <= app.cpuCount; ++i)
            DeleteBrush(&page1.seriesBrushes[i]);
        delete[] page1.seriesBrushes;
    }
    DeleteBrush(&page1.backBrush);
    page1 = DisplayPage{};
}

} // namespace

INT_PTR CALLBACK DisplayPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MEASUREITEM:
        if (wParam != IDC_DP_SERIES_LIST) return FALSE;
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = SeriesItemHeight(page);
        return TRUE;
    case WM_DRAWITEM:
        if (wParam != IDC_DP_SERIES_LIST) return FALSE;
        OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_INITDIALOG: OnInit(page); return TRUE;
    case WM_COMMAND: return OnCommand(page, LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(SwatchBrush(reinterpret_cast<HWND>(lParam)));
    case WM_DESTROY: OnDestroy(); return FALSE;
    case WM_OPTIONS_COLLECT: OnCollect(page); return TRUE;
    case WM_DPICHANGED_AFTERPARENT: OnScaleChanged(page); return TRUE;
    default: return FALSE;
    }
}

#include "options/PageKit.h"

#include "app/AppState.h"
#include <commctrl.h>
#include "base/SafeText.h"
#include "view/Dpi.h"
#include "view/Scale.h"
#include "res/resource.h"

void PlacePage(HWND page) {
    // The tab's own page area: below its tabs at any scale, to its edges, so
    // that no band of the tab shows under a shorter page.
    HWND tab = GetParent(page);
    RECT area;
    GetClientRect(tab, &area);
    SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    SetWindowPos(page, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Checked(HWND page, int id) {
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

void SetChecked(HWND page, int id, bool on) {
    CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED);
}

void Enable(HWND page, int id, bool on) {
    EnableWindow(GetDlgItem(page, id), on ? TRUE : FALSE);
}

int32_t ReadNumber(HWND page, int id) {
    return static_cast<int32_t>(GetDlgItemInt(page, id, nullptr, FALSE));
}

void WriteNumber(HWND page, int id, int32_t value) {
    SetDlgItemInt(page, id, static_cast<UINT>(value), FALSE);
}

void FitNumberBox(HWND page, int id) {
    SendDlgItemMessageA(page, id, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(0, 0));
}

void ReadText(HWND page, int id, char* dst, size_t cap) {
    // Read whole, then cut: a cut by the control could split a character.
    char whole[1024] = {};
    GetDlgItemTextA(page, id, whole, sizeof whole);
    CopyText(dst, cap, whole);
}

void SetUpSlider(HWND slider, int low, int high, int tickEvery, int position) {
    SendMessageA(slider, TBM_SETRANGE, TRUE, MAKELPARAM(low, high));
    if (tickEvery > 0) SendMessageA(slider, TBM_SETTICFREQ, static_cast<WPARAM>(tickEvery), 0);
    SendMessageA(slider, TBM_SETPOS, TRUE, position);
}

void SetBrowseImage(HWND page, int id, HBITMAP* image) {
    const int side = Scaled(16, WindowDpi(page));
    HBITMAP fresh =
        static_cast<HBITMAP>(LoadImageA(app.instance, MAKEINTRESOURCEA(IDB_BROWSE), IMAGE_BITMAP,
                                        side, side, LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT));
    SendDlgItemMessageA(page, id, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(fresh));
    if (*image) DeleteObject(*image);
    *image = fresh;
}

bool ChooseColour(uint32_t* colour) {
    app.colorChooser.rgbResult = *colour;
    if (!ChooseColorA(&app.colorChooser)) return false;
    *colour = app.colorChooser.rgbResult;
    return true;
}

void RenewSwatch(HBRUSH* brush, uint32_t colour, HWND swatch) {
    HBRUSH fresh = CreateSolidBrush(colour);
    // The swatch paints with whatever WM_CTLCOLORSTATIC hands it at paint
    // time, so the old brush is not in use once it is replaced.
    DeleteBrush(brush);
    *brush = fresh;
    InvalidateRect(swatch, nullptr, TRUE);
}

void DeleteBrush(HBRUSH* brush) {
    if (*brush) DeleteObject(*brush);
    *brush = nullptr;
}

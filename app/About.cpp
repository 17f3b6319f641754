#include "app/About.h"

#include "app/AppState.h"
#include "view/Dpi.h"
#include "view/Scale.h"
#include "res/resource.h"
#include "VantorVersion.h"

#include <shellapi.h>

namespace {

const char kVersionCaption[] = "Vantor CPUモニタ v" VANTOR_VERSION;
const COLORREF kLinkColour = 0xFA0000; // blue 250

HFONT LinkFont(HWND box) {
    return reinterpret_cast<HFONT>(GetWindowLongPtrA(box, DWLP_USER));
}

// Opens the link's address in the user's browser and closes the box.
void FollowLink(HWND box) {
    char address[65] = {};
    GetDlgItemTextA(box, IDC_ABOUT_LINK, address, sizeof address);
    ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
    EndDialog(box, 1);
}

// The link's font at the box's scale (12 pixels at 96 dpi, as the box's
// own text), in place of the one before.
void SetLinkFont(HWND box) {
    HFONT font = CreateFontA(-Scaled(12, WindowDpi(box)), 0, 0, 0, FW_NORMAL, FALSE, TRUE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             PROOF_QUALITY, DEFAULT_PITCH, "MS Pゴシック");
    HFONT old = LinkFont(box);
    SetWindowLongPtrA(box, DWLP_USER, reinterpret_cast<LONG_PTR>(font));
    // A static control selects its own font after asking for its colours,
    // so the link is also given the font to keep.
    SendDlgItemMessageA(box, IDC_ABOUT_LINK, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (old) DeleteObject(old);
}

INT_PTR OnCtlColorStatic(HWND box, HDC dc, HWND control) {
    if (GetDlgCtrlID(control) != IDC_ABOUT_LINK) return 0;
    SelectObject(dc, LinkFont(box));
    SetTextColor(dc, kLinkColour);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
}

INT_PTR CALLBACK AboutProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(box, IDC_ABOUT_VERSION, kVersionCaption);
        SetLinkFont(box);
        return 0;
    case WM_DPICHANGED: SetLinkFont(box); return 0; // the box itself is moved by the system
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(box, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) != GetDlgItem(box, IDC_ABOUT_LINK)) return 0;
        SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
        SetWindowLongPtrA(box, DWLP_MSGRESULT, 1);
        return 1;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            EndDialog(box, 1);
            return 1;
        }
        if (LOWORD(wParam) == IDC_ABOUT_LINK) {
            FollowLink(box);
            return 1;
        }
        return 0;
    case WM_CLOSE: EndDialog(box, 2); return 1;
    case WM_DESTROY: {
        HFONT font = LinkFont(box);
        if (font) DeleteObject(font);
        SetWindowLongPtrA(box, DWLP_USER, 0);
        return 0;
    }
    default: return 0;
    }
}

} // namespace

void ShowAboutBox(HWND owner) {
    DialogBoxParamA(app.instance, "ABOUT", owner, AboutProc, 0);
}

// Fourth page: transparent desktop icon texts, the skin, the user's own tray
// animation icons and the memory line.
#include <shlobj.h>

#include "app/AppState.h"
#include <commctrl.h>
#include "base/SafeText.h"
#include "options/OptionRules.h"
#include "options/OptionsDialog.h"
#include "options/PageKit.h"
#include "res/options.h"
#include "view/Skin.h"
#include "view/SkinFiles.h"

#include <cstring>

namespace {

struct ExtrasPage {
    HBRUSH textBrush = nullptr, memBackBrush = nullptr, memTextBrush = nullptr;
    HWND textSwatch = nullptr, memBackSwatch = nullptr, memTextSwatch = nullptr;
    HWND slider = nullptr;
    HBITMAP browseImage = nullptr;
};
ExtrasPage page3;

const char NO_SKIN[] = "（なし）";

// Offered only when the program would load it: the same folder rules as
// loading the skin, and a skin.ini in it.
bool HasSkinIni(const char* program, const char* name) {
    char folder[MAX_PATH], path[MAX_PATH];
    if (!SkinFolderPath(program, name, folder, sizeof folder)) return false;
    const size_t want = strlen(folder) + strlen("skin.ini");
    if (FormatText(path, sizeof path, "%sskin.ini", folder) != want) return false;
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

void FillSkinList(HWND combo) {
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(NO_SKIN));
    char folder[MAX_PATH] = {};
    if (ProgramFolder(folder)) {
        char pattern[MAX_PATH];
        FormatText(pattern, sizeof pattern, "%s*", folder);
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(pattern, &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                    OfferSkinFolder(found.cFileName) && HasSkinIni(folder, found.cFileName))
                    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(found.cFileName));
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
    }
    // The folder of that very name; a prefix search would pick "blue2" for
    // "blue", and an empty name would pick the first skin, so that OK
    // pressed without a change would switch skins.
    LRESULT at = 0;
    if (app.pendingSettings.skinname[0] != '\0') {
        at = SendMessageA(combo, CB_FINDSTRINGEXACT, 0,
                          reinterpret_cast<LPARAM>(app.pendingSettings.skinname));
        if (at == CB_ERR) at = 0;
    }
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
}

void OnInit(HWND page) {
    PlacePage(page);
    FitNumberBox(page, IDC_XP_TMRATE3);
    const PendingSettings& p = app.pendingSettings;
    SetChecked(page, IDC_XP_BGTRANS, p.bgtrans != 0);
    page3.textSwatch = GetDlgItem(page, IDC_XP_TEXTCOLOR);
    page3.memBackSwatch = GetDlgItem(page, IDC_XP_MEMBACK);
    page3.memTextSwatch = GetDlgItem(page, IDC_XP_MEMTEXT);
    page3.slider = GetDlgItem(page, IDC_XP_TMRATE3_SLIDER);
    page3.textBrush = CreateSolidBrush(p.textcolor);
    WriteNumber(page, IDC_XP_TMRATE3, p.tmrate3);
    SetUpSlider(page3.slider, 500, 5000, 100, p.tmrate3);
    SetBrowseImage(page, IDC_XP_BROWSE, &page3.browseImage);
    if (p.usericon != 0) {
        SetChecked(page, IDC_XP_USERICON, true);
        SetDlgItemTextA(page, IDC_XP_ICONPATH, p.iconpath);
    } else {
        Enable(page, IDC_XP_ICONPATH, false);
        Enable(page, IDC_XP_BROWSE, false);
    }
    FillSkinList(GetDlgItem(page, IDC_XP_SKIN));
    SetChecked(page, IDC_XP_KAKUSI, p.kakusi != 0);
    page3.memBackBrush = CreateSolidBrush(p.memback);
    page3.memTextBrush = CreateSolidBrush(p.memtext);
    SetChecked(page, IDC_XP_MEMTYPE, p.memtype != 0);
}

void ChooseIconFolder(HWND page) {
    char name[MAX_PATH] = {};
    BROWSEINFOA info = {};
    info.hwndOwner = page;
    info.pszDisplayName = name;
    info.lpszTitle = "アニメアイコンのあるフォルダの指定";
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    const HRESULT com = CoInitialize(nullptr);
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    if (chosen) {
        char path[MAX_PATH] = {};
        if (SHGetPathFromIDListA(chosen, path)) {
            PendingSettings& p = app.pendingSettings;
            CopyText(p.iconpath, sizeof p.iconpath, path);
            SetDlgItemTextA(page, IDC_XP_ICONPATH, p.iconpath);
        }
        CoTaskMemFree(chosen);
    }
    if (SUCCEEDED(com)) CoUninitialize();
}

bool OnCommand(HWND page, int id, int code) {
    PendingSettings& p = app.pendingSettings;
    switch (id) {
    case IDC_XP_TEXTCOLOR:
        if (ChooseColour(&p.textcolor))
            RenewSwatch(&page3.textBrush, p.textcolor, page3.textSwatch);
        return true;
    case IDC_XP_MEMBACK:
        if (ChooseColour(&p.memback))
            RenewSwatch(&page3.memBackBrush, p.memback, page3.memBackSwatch);
        return true;
    case IDC_XP_MEMTEXT:
        if (ChooseColour(&p.memtext))
            RenewSwatch(&page3.memTextBrush, p.memtext, page3.memTextSwatch);
        return true;
    case IDC_XP_TMRATE3:
        if (code != EN_CHANGE) return false;
        SendMessageA(page3.slider, TBM_SETPOS, TRUE, ReadNumber(page, IDC_XP_TMRATE3));
        return true;
    case IDC_XP_BROWSE: ChooseIconFolder(page); return true;
    case IDC_XP_USERICON: {
        const bool on = Checked(page, IDC_XP_USERICON);
        Enable(page, IDC_XP_ICONPATH, on);
        Enable(page, IDC_XP_BROWSE, on);
        return true;
    }
    default: return false;
    }
}

HBRUSH SwatchBrush(HWND control) {
    if (control == page3.textSwatch) return page3.textBrush;
    if (control == page3.memBackSwatch) return page3.memBackBrush;
    if (control == page3.memTextSwatch) return page3.memTextBrush;
    return nullptr;
}

void OnCollect(HWND page) {
    PendingSettings& p = app.pendingSettings;
    p.bgtrans = Checked(page, IDC_XP_BGTRANS) ? 1 : 0;
    p.tmrate3 = ReadNumber(page, IDC_XP_TMRATE3);
    p.usericon = Checked(page, IDC_XP_USERICON) ? 1 : 0;
    ReadText(page, IDC_XP_ICONPATH, p.iconpath, sizeof p.iconpath);
    DropTrailingBackslash(p.iconpath);
    p.skinname[0] = '\0';
    const LRESULT at = SendDlgItemMessageA(page, IDC_XP_SKIN, CB_GETCURSEL, 0, 0);
    if (at > 0) {
        char name[MAX_PATH] = {};
        if (SendDlgItemMessageA(page, IDC_XP_SKIN, CB_GETLBTEXTLEN, static_cast<WPARAM>(at), 0) <
            static_cast<LRESULT>(sizeof name)) {
            SendDlgItemMessageA(page, IDC_XP_SKIN, CB_GETLBTEXT, static_cast<WPARAM>(at),
                                reinterpret_cast<LPARAM>(name));
            CopyText(p.skinname, sizeof p.skinname, name);
        }
    }
    p.kakusi = Checked(page, IDC_XP_KAKUSI) ? 1 : 0;
    p.memtype = Checked(page, IDC_XP_MEMTYPE) ? 1 : 0;
}

void OnDestroy() {
    DeleteBrush(&page3.textBrush);
    DeleteBrush(&page3.memBackBrush);
    DeleteBrush(&page3.memTextBrush);
    if (page3.browseImage) DeleteObject(page3.browseImage);
    page3 = ExtrasPage{};
}

} // namespace

INT_PTR CALLBACK ExtrasPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInit(page); return TRUE;
    case WM_COMMAND: return OnCommand(page, LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_HSCROLL: {
        PendingSettings& p = app.pendingSettings;
        p.tmrate3 = static_cast<int32_t>(SendMessageA(page3.slider, TBM_GETPOS, 0, 0));
        WriteNumber(page, IDC_XP_TMRATE3, p.tmrate3);
        return TRUE;
    }
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(SwatchBrush(reinterpret_cast<HWND>(lParam)));
    case WM_OPTIONS_COLLECT: OnCollect(page); return TRUE;
    case WM_DPICHANGED_AFTERPARENT: // moved to a monitor of another scale
        PlacePage(page);
        SetBrowseImage(page, IDC_XP_BROWSE, &page3.browseImage);
        return TRUE;
    case WM_DESTROY: OnDestroy(); return FALSE;
    default: return FALSE;
    }
}

// Hooked into vantor.exe's thread with SetWindowsHookExA(WH_GETMESSAGE,
// TextFitProbeHook): a WM_NULL posted with wParam 0x5446 makes it describe
// every control of the thread's open dialogs, measured from inside (fonts
// and bitmaps are the process's own), into "textfit.txt" beside the program
// (renamed into place whole). One line per window:
//   key=value ... |text
// keys: cls, id, style, page (the dialog it belongs to), rect (screen),
// client, need (the text's extent in the control's font), font (its height),
// digit (width of "0"), and where they apply item (list item height), image
// (a button's bitmap), display (a tab's page area, screen), dpi.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

UINT DpiOf(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static auto get = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (get) return get(window);
    HDC dc = GetDC(window);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return static_cast<UINT>(dpi);
}

std::string Rect(const RECT& r) {
    char s[64];
    snprintf(s, sizeof s, "%ld,%ld,%ld,%ld", r.left, r.top, r.right, r.bottom);
    return s;
}

std::string Pair(long a, long b) {
    char s[32];
    snprintf(s, sizeof s, "%ld,%ld", a, b);
    return s;
}

// The line of one window.
std::string Describe(HWND w) {
    char cls[64] = {}, text[512] = {};
    GetClassNameA(w, cls, sizeof cls);
    GetWindowTextA(w, text, sizeof text);
    const LONG style = GetWindowLongA(w, GWL_STYLE);
    HWND page = GetParent(w);
    RECT rect, client;
    GetWindowRect(w, &rect);
    GetClientRect(w, &client);
    std::string line = std::string("cls=") + cls + " id=" + std::to_string(GetDlgCtrlID(w)) +
                       " style=" + std::to_string(static_cast<unsigned long>(style)) +
                       " visible=" + std::to_string(IsWindowVisible(w) ? 1 : 0) +
                       " self=" + std::to_string(reinterpret_cast<uintptr_t>(w)) +
                       " page=" + std::to_string(reinterpret_cast<uintptr_t>(page)) +
                       " rect=" + Rect(rect) + " client=" + Pair(client.right, client.bottom) +
                       " dpi=" + std::to_string(DpiOf(w));

    HDC dc = GetDC(w);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(w, WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SIZE digit = {};
    GetTextExtentPoint32A(dc, "0", 1, &digit);
    RECT need = {0, 0, 0, 0};
    const bool noPrefix = strcmp(cls, "Static") == 0 && (style & SS_NOPREFIX);
    if (text[0])
        DrawTextA(dc, text, -1, &need,
                  DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | (noPrefix ? DT_NOPREFIX : 0));
    SelectObject(dc, old);
    ReleaseDC(w, dc);
    line += " need=" + Pair(need.right, need.bottom) + " font=" + std::to_string(metrics.tmHeight) +
            " digit=" + std::to_string(digit.cx);

    if (strcmp(cls, "ListBox") == 0)
        line += " item=" + std::to_string(SendMessageA(w, LB_GETITEMHEIGHT, 0, 0));
    if (strcmp(cls, "Button") == 0 && (style & BS_BITMAP)) {
        BITMAP image = {};
        HGDIOBJ bitmap = reinterpret_cast<HGDIOBJ>(SendMessageA(w, BM_GETIMAGE, IMAGE_BITMAP, 0));
        if (bitmap) GetObjectA(bitmap, sizeof image, &image);
        line += " image=" + Pair(image.bmWidth, image.bmHeight);
    }
    if (strcmp(cls, WC_TABCONTROLA) == 0) {
        RECT display = rect;
        MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&display), 2);
        SendMessageA(w, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
        MapWindowPoints(GetParent(w), nullptr, reinterpret_cast<POINT*>(&display), 2);
        line += " display=" + Rect(display);
    }
    return line + " |" + text + "\n";
}

BOOL CALLBACK AddChild(HWND w, LPARAM out) {
    *reinterpret_cast<std::string*>(out) += Describe(w);
    return TRUE;
}

BOOL CALLBACK AddDialog(HWND w, LPARAM out) {
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (strcmp(cls, "#32770") == 0 && IsWindowVisible(w)) {
        *reinterpret_cast<std::string*>(out) += Describe(w);
        EnumChildWindows(w, AddChild, out);
    }
    return TRUE;
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    TextFitProbeHook(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_NULL &&
        msg->wParam == 0x5446) {
        std::string out;
        EnumThreadWindows(GetCurrentThreadId(), AddDialog, reinterpret_cast<LPARAM>(&out));
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string done = path;
        done = done.substr(0, done.find_last_of('\\') + 1) + "textfit.txt";
        const std::string part = done + ".part";
        if (FILE* f = fopen(part.c_str(), "wb")) {
            fwrite(out.data(), 1, out.size(), f);
            fclose(f);
            MoveFileExA(part.c_str(), done.c_str(), MOVEFILE_REPLACE_EXISTING);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

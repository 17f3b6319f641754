// Hooked into vantor.exe's thread with SetWindowsHookExA(WH_GETMESSAGE,
// TextFitProbeHook): a WM_NULL posted with wParam 0x5446 makes it measure
// every window of the thread's open dialogs from inside (fonts and bitmaps
// are the process's own) into "textfit.txt" beside the program, renamed into
// place whole. One line per window, the dialog first:
//   class id style self parent rect(4, screen) client(2) textsize(2)
//   fontheight digitwidth itemheight image(2) pagearea(4, screen) dpi |text
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

BOOL CALLBACK Describe(HWND w, LPARAM out) {
    char cls[64] = {}, text[512] = {}, line[1024];
    GetClassNameA(w, cls, sizeof cls);
    GetWindowTextA(w, text, sizeof text);
    const LONG style = GetWindowLongA(w, GWL_STYLE);
    RECT rect, client, need = {}, area = {};
    GetWindowRect(w, &rect);
    GetClientRect(w, &client);
    HDC dc = GetDC(w);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(w, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SIZE digit = {};
    GetTextExtentPoint32A(dc, "0", 1, &digit);
    if (text[0]) DrawTextA(dc, text, -1, &need, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(w, dc);
    BITMAP image = {};
    if (HGDIOBJ bitmap = reinterpret_cast<HGDIOBJ>(SendMessageA(w, BM_GETIMAGE, IMAGE_BITMAP, 0)))
        GetObjectA(bitmap, sizeof image, &image);
    if (strcmp(cls, WC_TABCONTROLA) == 0) { // its page area, as a page is placed
        GetClientRect(w, &area);
        SendMessageA(w, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
        MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&area), 2);
    }
    const LRESULT item = strcmp(cls, "ListBox") == 0 ? SendMessageA(w, LB_GETITEMHEIGHT, 0, 0) : 0;
    snprintf(line, sizeof line,
             "%s %d %lu %llu %llu %ld %ld %ld %ld %ld %ld %ld %ld %ld %ld %ld %ld %ld %ld %ld %ld "
             "%ld %u |%s\n",
             cls, GetDlgCtrlID(w), static_cast<unsigned long>(style),
             static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(w)),
             static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(GetParent(w))), rect.left,
             rect.top, rect.right, rect.bottom, client.right, client.bottom, need.right,
             need.bottom, metrics.tmHeight, digit.cx, static_cast<long>(item), image.bmWidth,
             image.bmHeight, area.left, area.top, area.right, area.bottom, GetDpiForWindow(w),
             text);
    *reinterpret_cast<std::string*>(out) += line;
    return TRUE;
}

BOOL CALLBACK AddDialog(HWND w, LPARAM out) {
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (strcmp(cls, "#32770") == 0 && IsWindowVisible(w)) {
        Describe(w, out);
        EnumChildWindows(w, Describe, out);
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
        if (FILE* f = fopen((done + ".part").c_str(), "wb")) {
            fwrite(out.data(), 1, out.size(), f);
            fclose(f);
            MoveFileExA((done + ".part").c_str(), done.c_str(), MOVEFILE_REPLACE_EXISTING);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

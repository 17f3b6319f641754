// Hooked into vantor.exe's thread (WH_GETMESSAGE): a WM_NULL posted with
// wParam 0x5446 measures each window of the thread's visible dialogs in its
// own font and bitmap into "textfit.txt" beside the program, dialog first:
//   class id style self parent rect(4) client(2) textsize(2) fontheight
//   digitwidth itemheight image(2) tabpagearea(4) dpi |text   (rects on screen)
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

BOOL CALLBACK Describe(HWND w, LPARAM out) {
    char cls[64] = {}, text[512] = {};
    GetClassNameA(w, cls, sizeof cls);
    GetWindowTextA(w, text, sizeof text);
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
    if (strcmp(cls, WC_TABCONTROLA) == 0) { // where a page goes
        GetClientRect(w, &area);
        SendMessageA(w, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
        MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&area), 2);
    }
    const long item = strcmp(cls, "ListBox") ? 0 : long(SendMessageA(w, LB_GETITEMHEIGHT, 0, 0));
    char line[1024]; // handles are 32-bit significant
    snprintf(
        line, sizeof line,
        "%s %d %ld %ld %ld %ld %ld %ld %ld %ld %ld %ld %ld %ld %ld %ld %ld %ld %ld %ld %ld %ld "
        "%u |%s\n",
        cls, GetDlgCtrlID(w), GetWindowLongA(w, GWL_STYLE), long(intptr_t(w)),
        long(intptr_t(GetParent(w))), rect.left, rect.top, rect.right, rect.bottom, client.right,
        client.bottom, need.right, need.bottom, metrics.tmHeight, digit.cx, item, image.bmWidth,
        image.bmHeight, area.left, area.top, area.right, area.bottom, GetDpiForWindow(w), text);
    *reinterpret_cast<std::string*>(out) += line;
    return TRUE;
}

BOOL CALLBACK AddDialog(HWND w, LPARAM out) {
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (strcmp(cls, "#32770") == 0 && IsWindowVisible(w))
        Describe(w, out), EnumChildWindows(w, Describe, out);
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
        const std::string done = std::string(path, strrchr(path, '\\') + 1) + "textfit.txt";
        if (FILE* f = fopen((done + ".part").c_str(), "wb")) // renamed into place whole
            fwrite(out.data(), 1, out.size(), f), fclose(f);
        MoveFileExA((done + ".part").c_str(), done.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// shotprobe WHAT: what tools/pictures/make-pictures.sh needs from inside Wine,
// where the program's windows are no X windows of their own (shell desktop).
//   rect window|menu|dialog|tip   waits up to 10 s for that window of the
//                                 program (or the shell's tip), prints
//                                 "left top width height"; exit 1 if none
//   command ID                    posts WM_COMMAND ID to the program's window
//   nexttab                       the options dialog shows its next page
//   cancel                        closes the options dialog with キャンセル
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kOptionsTitle[] = "Vantorモニタ 設定";

HWND Program() {
    return FindWindowA("Vantor_PerfMon", "Vantor");
}
HWND Options() {
    return FindWindowA("#32770", kOptionsTitle);
}

BOOL CALLBACK FindVisibleTip(HWND window, LPARAM found) {
    char cls[64] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (std::strcmp(cls, "tooltips_class32") != 0 || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

HWND Find(const char* what) {
    if (!std::strcmp(what, "window")) return Program();
    if (!std::strcmp(what, "dialog")) return Options();
    if (!std::strcmp(what, "menu")) {
        HWND menu = FindWindowA("#32768", nullptr);
        return menu && IsWindowVisible(menu) ? menu : nullptr;
    }
    if (!std::strcmp(what, "tip")) {
        HWND tip = nullptr;
        EnumWindows(FindVisibleTip, reinterpret_cast<LPARAM>(&tip));
        return tip;
    }
    return nullptr;
}

int PrintRect(const char* what) {
    for (int i = 0; i < 100; ++i) {
        HWND window = Find(what);
        RECT r;
        if (window && GetWindowRect(window, &r)) {
            std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
            return 0;
        }
        Sleep(100);
    }
    std::fprintf(stderr, "shotprobe: no %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && !std::strcmp(argv[1], "rect")) return PrintRect(argv[2]);
    if (argc == 3 && !std::strcmp(argv[1], "command"))
        return PostMessageA(Program(), WM_COMMAND, std::atoi(argv[2]), 0) ? 0 : 1;
    if (argc == 2 && !std::strcmp(argv[1], "nexttab")) {
        HWND tab = FindWindowExA(Options(), nullptr, "SysTabControl32", nullptr);
        return tab && PostMessageA(tab, WM_KEYDOWN, VK_RIGHT, 0) ? 0 : 1;
    }
    if (argc == 2 && !std::strcmp(argv[1], "cancel"))
        return PostMessageA(Options(), WM_COMMAND, IDCANCEL, 0) ? 0 : 1;
    std::fprintf(stderr,
                 "usage: shotprobe rect window|menu|dialog|tip | command ID | nexttab | cancel\n");
    return 2;
}

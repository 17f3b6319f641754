// testwindow [paint|hang|exit N]
//   paint   a 200x150 window of class "VantorTestWindow", title "Test Window",
//           filled with RGB(0x20, 0xC0, 0x60); ends on WM_CLOSE with code 7
//   hang    the same window, then never pumps messages again nor exits
//   exit N  ends at once with code N
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

const COLORREF kFill = RGB(0x20, 0xC0, 0x60);

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        HBRUSH brush = CreateSolidBrush(kFill);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(7);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmd, int) {
    if (std::strncmp(cmd, "exit ", 5) == 0) return std::atoi(cmd + 5);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "VantorTestWindow";
    RegisterClassA(&wc);
    // A popup: no frame, so every pixel of the window rectangle is the fill.
    HWND hwnd = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "Test Window", WS_POPUP | WS_VISIBLE,
                                100, 100, 200, 150, nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;
    UpdateWindow(hwnd);
    if (std::strcmp(cmd, "hang") == 0) {
        for (;;) Sleep(INFINITE);
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}

// The load text in real top-level windows' captions: appended once, given
// back exactly, a retitled window keeps its title, and a hung window costs
// the tick no more than the caption timeout.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>

#include "app/AppState.h"
#include "base/SafeText.h"
#include "titlebar/TitleBar.h"

namespace {

const std::string OPEN = "\x81\x79", CLOSE = "\x81\x7a";
enum : UINT { WM_HANG = WM_APP + 1 };

// A top-level window on its own thread, which pumps its messages until it
// is told to hang.
struct TestWindow {
    HWND hwnd = nullptr;
    HANDLE thread = nullptr, ready = nullptr;
    std::atomic<bool> hang{false};
    // Caption reads and writes still to answer late, after the caption timeout.
    std::atomic<int> slowReads{0}, slowWrites{0};
    std::string caption;

    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        TestWindow* me = reinterpret_cast<TestWindow*>(GetWindowLongPtrA(h, GWLP_USERDATA));
        if ((m == WM_GETTEXT || m == WM_SETTEXT) && me) {
            std::atomic<int>& slow = m == WM_GETTEXT ? me->slowReads : me->slowWrites;
            if (slow > 0 && slow-- > 0) Sleep(2 * CAPTION_TIMEOUT_MS);
        }
        if (m == WM_HANG) {
            TestWindow* self = reinterpret_cast<TestWindow*>(l);
            while (self->hang)
                Sleep(10);
            return 0;
        }
        return DefWindowProcA(h, m, w, l);
    }
    static DWORD WINAPI Run(void* p) {
        TestWindow* self = static_cast<TestWindow*>(p);
        self->hwnd =
            CreateWindowExA(0, "VantorTitleTest", self->caption.c_str(), WS_OVERLAPPEDWINDOW, 50,
                            50, 300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(self->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        ShowWindow(self->hwnd, SW_SHOW);
        SetEvent(self->ready);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0)
            DispatchMessageA(&msg);
        return 0;
    }
    explicit TestWindow(const char* text) : caption(text) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VantorTitleTest";
        RegisterClassA(&wc); // the second window finds it registered
        ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
        WaitForSingleObject(ready, 5000);
    }
    ~TestWindow() {
        hang = false;
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
        PostMessageA(hwnd, WM_QUIT, 0, 0);
        WaitForSingleObject(thread, 5000);
        CloseHandle(thread);
        CloseHandle(ready);
    }
    void Hang() {
        hang = true;
        PostMessageA(hwnd, WM_HANG, 0, reinterpret_cast<LPARAM>(this));
        Sleep(100); // let the thread reach its sleep
    }
    std::string Caption() const {
        char text[512] = {};
        GetWindowTextA(hwnd, text, sizeof text);
        return text;
    }
    // Asked again until it holds: a window shown a moment ago may not take
    // the focus at the first request.
    bool Foreground() const {
        for (int i = 0; i < 100 && GetForegroundWindow() != hwnd; ++i) {
            SetForegroundWindow(hwnd);
            Sleep(20);
        }
        return GetForegroundWindow() == hwnd;
    }
};

void Tick(uint32_t total) {
    uint32_t loads[1] = {total};
    UpdateTitleBarWith(loads, 0);
}

void UseFormats(const char* b, const char* f0) {
    CopyText(app.format_b, sizeof app.format_b, b);
    CopyText(app.format_0, sizeof app.format_0, f0);
    CompileTitleFormats();
}

class TitleBar : public ::testing::Test {
  protected:
    void SetUp() override {
        InitCpuFormatters(app);
        UseFormats("\x81\x79,\x81\x7a", "CPU:_#0%");
    }
    void TearDown() override { RestoreTitleBar(); }
};

TEST_F(TitleBar, AppendedOnceAndGivenBackOnAChangeOfForeground) {
    TestWindow a("Alpha window"), b("Beta window");
    ASSERT_TRUE(a.Foreground());
    Tick(7);
    EXPECT_EQ(a.Caption(), "Alpha window " + OPEN + "CPU: 7%" + CLOSE);
    Tick(9);
    EXPECT_EQ(a.Caption(), "Alpha window " + OPEN + "CPU: 9%" + CLOSE);

    ASSERT_TRUE(b.Foreground());
    Tick(12);
    EXPECT_EQ(a.Caption(), "Alpha window");
    EXPECT_EQ(b.Caption(), "Beta window " + OPEN + "CPU: 12%" + CLOSE);

    // B retitles itself while marked: the new title is its own from now on.
    SetWindowTextA(b.hwnd, "Beta renamed");
    Tick(13);
    EXPECT_EQ(b.Caption(), "Beta renamed " + OPEN + "CPU: 13%" + CLOSE);

    // Retitled again, then left: it keeps the title it chose.
    SetWindowTextA(b.hwnd, "Beta chose this");
    ASSERT_TRUE(a.Foreground());
    Tick(14);
    EXPECT_EQ(b.Caption(), "Beta chose this");
    EXPECT_EQ(a.Caption(), "Alpha window " + OPEN + "CPU: 14%" + CLOSE);
    RestoreTitleBar();
    EXPECT_EQ(a.Caption(), "Alpha window");
}

TEST_F(TitleBar, EmptyMarkerStillRecognisesTheWindowsOwnCaption) {
    // The number comes first: every caption would hold the empty marker.
    UseFormats("", "#0%");
    TestWindow a("Gamma");
    ASSERT_TRUE(a.Foreground());
    Tick(3);
    Tick(4);
    EXPECT_EQ(a.Caption(), "Gamma 4%");
    SetWindowTextA(a.hwnd, "Gamma two");
    Tick(5);
    EXPECT_EQ(a.Caption(), "Gamma two 5%");
    RestoreTitleBar();
    EXPECT_EQ(a.Caption(), "Gamma two");
}

// Windows slow exactly when their caption is given back or written: each
// ends up with its own caption all the same.
TEST_F(TitleBar, SlowWindowsGetTheirOwnCaptionBack) {
    TestWindow a("Alpha window"), b("Beta window");
    const std::string alpha7 = "Alpha window " + OPEN + "CPU: 7%" + CLOSE;

    // Busy as it loses the foreground: the give-back is retried later.
    ASSERT_TRUE(a.Foreground());
    Tick(7);
    a.slowReads = 1;
    ASSERT_TRUE(b.Foreground());
    Tick(8);
    EXPECT_EQ(b.Caption(), "Beta window " + OPEN + "CPU: 8%" + CLOSE);
    Tick(9);
    EXPECT_EQ(a.Caption(), "Alpha window");

    // A write that timed out lands late; the window is still given back.
    ASSERT_TRUE(a.Foreground());
    a.slowWrites = 1;
    Tick(7);
    EXPECT_EQ(a.Caption(), alpha7);
    ASSERT_TRUE(b.Foreground());
    Tick(10);
    EXPECT_EQ(a.Caption(), "Alpha window");

    // A caption that still carries a load text (a give-back that never
    // landed, an earlier run): the part before it is the window's own.
    SetWindowTextA(a.hwnd, alpha7.c_str());
    ASSERT_TRUE(a.Foreground());
    Tick(11);
    EXPECT_EQ(a.Caption(), "Alpha window " + OPEN + "CPU: 11%" + CLOSE);
    ASSERT_TRUE(b.Foreground());
    Tick(12);
    EXPECT_EQ(a.Caption(), "Alpha window");
}

TEST_F(TitleBar, HungWindowCostsNoMoreThanTheTimeout) {
    TestWindow a("Delta");
    ASSERT_TRUE(a.Foreground());
    Tick(1);
    a.Hang();
    DWORD start = GetTickCount();
    Tick(2);
    DWORD tick = GetTickCount() - start;
    start = GetTickCount();
    RestoreTitleBar();
    DWORD restore = GetTickCount() - start;
    printf("hung window: tick %lu ms, restore %lu ms (timeout %u ms)\n",
           static_cast<unsigned long>(tick), static_cast<unsigned long>(restore),
           CAPTION_TIMEOUT_MS);
    EXPECT_LT(tick, 2 * CAPTION_TIMEOUT_MS + 200);
    EXPECT_LT(restore, 2 * CAPTION_TIMEOUT_MS + 200);
    a.hang = false;
}

} // namespace

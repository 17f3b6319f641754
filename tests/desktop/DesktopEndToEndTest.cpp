// vantor.exe beside a desktop list view that the test plays: with bgtrans
// the labels lose their background and get it back at exit, also after the
// shell re-creates its desktop behind a WorkerW; without it they are never
// touched.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "app/AppState.h"
#include "desktop/DesktopText.h"
#include "tests/shell/VantorRun.h"
#include "tools/fakeshell/FakeShell.h"

namespace {

using fakeshell::FakeDesktop;
const COLORREF TEXT = RGB(0x11, 0x22, 0x33), BACK = RGB(0x44, 0x55, 0x66);

bool Colours(const FakeDesktop& d, COLORREF text, COLORREF back) {
    return d.TextColor() == text && d.BackgroundColor() == back;
}
bool Transparent(const FakeDesktop& d) { // textcolor 0x00ffff
    return Colours(d, RGB(255, 255, 0), CLR_NONE);
}
bool Start(VantorRun& vantor, const char* name, int bgtrans) {
    return vantor.Start(name, "", "", "bgtrans=" + std::to_string(bgtrans) +
                        "\r\ntextcolor=0x00ffff\r\ntmrate3=500\r\n", "cpus 1\n20\n");
}
const UINT TASKBAR_CREATED = RegisterWindowMessageA("TaskbarCreated");

TEST(DesktopLabels, TransparentWhileRunningAndAfterTheShellRecreatesTheDesktop) {
    auto desktop = std::make_unique<FakeDesktop>(FakeDesktop::PROGMAN, TEXT, BACK);
    VantorRun vantor;
    ASSERT_TRUE(Start(vantor, "desktop_on", 1));
    ASSERT_TRUE(testkit::WaitUntil([&] { return Transparent(*desktop); }, 3000));
    desktop->PutBackground(BACK); // the shell paints a background again
    DWORD put = GetTickCount();
    ASSERT_TRUE(testkit::WaitUntil([&] { return desktop->BackgroundColor() == CLR_NONE; }, 3000));
    EXPECT_LE(GetTickCount() - put, 500u + 300u) << "within one check period";

    const COLORREF text2 = RGB(1, 2, 3), back2 = RGB(4, 5, 6);
    desktop.reset();
    desktop = std::make_unique<FakeDesktop>(FakeDesktop::WORKERW, text2, back2);
    ASSERT_TRUE(PostMessageA(HWND_BROADCAST, TASKBAR_CREATED, 0, 0));
    ASSERT_TRUE(testkit::WaitUntil([&] { return Transparent(*desktop); }, 3000));
    ASSERT_TRUE(vantor.Exit());
    EXPECT_TRUE(Colours(*desktop, text2, back2)) << "the new shell's own colours";
}

TEST(DesktopLabels, WorkerWDesktopAtStartKeepsItsSavedColoursOverATaskbarMessage) {
    FakeDesktop desktop(FakeDesktop::WORKERW, TEXT, BACK);
    VantorRun vantor;
    ASSERT_TRUE(Start(vantor, "desktop_worker", 1));
    ASSERT_TRUE(testkit::WaitUntil([&] { return Transparent(desktop); }, 3000));
    // Also sent on a display change: the same list view, still ours.
    ASSERT_TRUE(PostMessageA(HWND_BROADCAST, TASKBAR_CREATED, 0, 0));
    Sleep(300);
    EXPECT_TRUE(Transparent(desktop));
    ASSERT_TRUE(vantor.Exit());
    EXPECT_TRUE(Colours(desktop, TEXT, BACK));
}

// A shell too busy to answer while the program starts, and one that counts
// as hung (5 s without pumping): nothing is set before its own colours were
// read, and those come back at exit.
TEST(DesktopLabels, AShellSlowAtStartGetsItsOwnColoursBack) {
    for (DWORD held : {1500u, 6000u}) {
        FakeDesktop desktop(FakeDesktop::PROGMAN, TEXT, BACK);
        desktop.Hold();
        VantorRun vantor;
        ASSERT_TRUE(Start(vantor, held < 5000 ? "desktop_busy" : "desktop_hung", 1));
        Sleep(held);
        desktop.Release();
        EXPECT_TRUE(testkit::WaitUntil([&] { return Transparent(desktop); }, 5000)) << held;
        ASSERT_TRUE(vantor.Exit());
        EXPECT_TRUE(Colours(desktop, TEXT, BACK)) << held;
    }
}

TEST(DesktopLabels, OffLeavesTheLabelsAlone) {
    FakeDesktop desktop(FakeDesktop::PROGMAN, TEXT, BACK);
    VantorRun vantor;
    ASSERT_TRUE(Start(vantor, "desktop_off", 0));
    Sleep(1200); // more than two check periods
    ASSERT_TRUE(vantor.Exit());
    EXPECT_TRUE(desktop.Sets().empty()) << desktop.Sets().size() << " colours set";
}

// The options' share, run by the program's own code in this process.
TEST(DesktopLabels, OptionsSwitchOnRecolourAndSwitchOffAgainstTheColoursOfStart) {
    FakeDesktop desktop(FakeDesktop::PROGMAN, TEXT, BACK);
    HWND window = CreateWindowA("STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    app.bgtrans = 0, app.textcolor = RGB(255, 255, 255), app.tmrate3 = 3000;
    StartDesktopTextColors(window);
    EXPECT_TRUE(desktop.Sets().empty());
    ChangeDesktopTextOptions(window, 1, RGB(255, 255, 0), 3000);
    EXPECT_TRUE(Transparent(desktop)) << "at once";
    ChangeDesktopTextOptions(window, 1, RGB(0, 0, 255), 3000);
    EXPECT_TRUE(Colours(desktop, RGB(0, 0, 255), CLR_NONE));
    size_t sent = desktop.Sets().size();
    ChangeDesktopTextOptions(window, 1, RGB(0, 0, 255), 3000);
    EXPECT_EQ(desktop.Sets().size(), sent) << "nothing changed, nothing sent";
    ChangeDesktopTextOptions(window, 0, RGB(0, 0, 255), 3000);
    EXPECT_TRUE(Colours(desktop, TEXT, BACK));
    StopDesktopTextColors(window);
    DestroyWindow(window);
}

} // namespace

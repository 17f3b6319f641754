// vantor.exe under Wine beside a desktop list view that the test plays: the
// labels lose their background while the program runs with bgtrans, get it
// back at exit, are taken care of again after the shell re-creates its
// desktop, and are never touched with bgtrans off.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "tests/shell/FakeShell.h"
#include "tests/shell/VantorRun.h"

namespace {

using fakeshell::FakeDesktop;

const COLORREF TEXT = RGB(0x11, 0x22, 0x33), BACK = RGB(0x44, 0x55, 0x66);
const COLORREF YELLOW = RGB(0xff, 0xff, 0x00);

std::string Ini(int bgtrans) {
    return "[Window]\r\nposx=200\r\nposy=200\r\nwintop=0\r\n[Config]\r\ntmrate=200\r\n"
           "[Config\\Ext]\r\nbgtrans=" +
           std::to_string(bgtrans) + "\r\ntextcolor=0x00ffff\r\ntmrate3=500\r\n";
}

bool Transparent(const FakeDesktop& d) {
    return d.BackgroundColor() == CLR_NONE && d.TextColor() == YELLOW;
}

bool Restored(const FakeDesktop& d, COLORREF text, COLORREF back) {
    return d.TextColor() == text && d.BackgroundColor() == back;
}

TEST(DesktopLabels, TransparentWhileRunningBackAtExitAndAfterTheShellRestarts) {
    auto desktop = std::make_unique<FakeDesktop>(FakeDesktop::PROGMAN, TEXT, BACK);
    fakeshell::VantorRun vantor;
    ASSERT_TRUE(vantor.Start("desktop_on", Ini(1), "cpus 1\n20\n"));
    ASSERT_TRUE(testkit::WaitUntil([&] { return Transparent(*desktop); }, 3000));

    // The shell paints a background again: gone within one check period.
    desktop->PutBackground(BACK);
    DWORD put = GetTickCount();
    ASSERT_TRUE(testkit::WaitUntil([&] { return desktop->BackgroundColor() == CLR_NONE; }, 3000));
    EXPECT_LE(GetTickCount() - put, 500u + 300u);

    UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    // The shell re-creates its desktop, now behind a WorkerW, and announces
    // itself: the new labels are found, remembered and made transparent.
    const COLORREF text2 = RGB(1, 2, 3), back2 = RGB(4, 5, 6);
    desktop.reset();
    desktop = std::make_unique<FakeDesktop>(FakeDesktop::WORKERW, text2, back2);
    ASSERT_TRUE(PostMessageA(HWND_BROADCAST, taskbarCreated, 0, 0));
    ASSERT_TRUE(testkit::WaitUntil([&] { return Transparent(*desktop); }, 3000));

    ASSERT_TRUE(vantor.Exit());
    EXPECT_TRUE(Restored(*desktop, text2, back2))
        << std::hex << desktop->TextColor() << " " << desktop->BackgroundColor();
}

TEST(DesktopLabels, WorkerWDesktopFoundAtStartAndItsOwnColoursGivenBack) {
    FakeDesktop desktop(FakeDesktop::WORKERW, TEXT, BACK);
    fakeshell::VantorRun vantor;
    ASSERT_TRUE(vantor.Start("desktop_worker", Ini(1), "cpus 1\n20\n"));
    ASSERT_TRUE(testkit::WaitUntil([&] { return Transparent(desktop); }, 3000));

    // "TaskbarCreated" without a new desktop (Windows also sends it on a
    // display change): the labels stay transparent, and the colours saved at
    // start stay the ones given back.
    ASSERT_TRUE(PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0));
    Sleep(300);
    EXPECT_TRUE(Transparent(desktop));
    ASSERT_TRUE(vantor.Exit());
    EXPECT_TRUE(Restored(desktop, TEXT, BACK))
        << std::hex << desktop.TextColor() << " " << desktop.BackgroundColor();
}

TEST(DesktopLabels, OffLeavesTheLabelsAlone) {
    FakeDesktop desktop(FakeDesktop::PROGMAN, TEXT, BACK);
    fakeshell::VantorRun vantor;
    ASSERT_TRUE(vantor.Start("desktop_off", Ini(0), "cpus 1\n20\n"));
    desktop.PutBackground(BACK);
    Sleep(1200); // more than two check periods
    ASSERT_TRUE(vantor.Exit());
    EXPECT_TRUE(desktop.Sets().empty()) << desktop.Sets().size() << " colours set";
    EXPECT_TRUE(Restored(desktop, TEXT, BACK));
}

} // namespace

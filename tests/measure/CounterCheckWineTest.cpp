// The counter check against the prefix's own registry, answering its real
// message box the way a user would: found by its title, its button pressed.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "measure/PerfCounterCheck.h"

namespace {

const char KEY[] = "SYSTEM\\CurrentControlSet\\Services\\PerfOS\\Performance";
const char VALUE[] = "Disable Performance Counters";

// Finds the warning box and presses one of its buttons (0: leave it alone
// and only note that it appeared, closing it after the wait). A box to be
// answered is waited for long: the first one in a fresh prefix, beside
// another test's start, is slow to come.
class BoxAnswerer {
  public:
    BoxAnswerer(int button, DWORD waitMs)
        : thread_([this, button, waitMs] { Run(button, waitMs); }) {}
    ~BoxAnswerer() { Join(); }
    void Join() {
        if (thread_.joinable()) thread_.join();
    }
    bool seen() const { return seen_; }
    const std::string& text() const { return text_; }

  private:
    static BOOL CALLBACK CollectText(HWND child, LPARAM lp) {
        char cls[32], buf[512];
        GetClassNameA(child, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextA(child, buf, sizeof buf) > 0)
            *reinterpret_cast<std::string*>(lp) += buf;
        return TRUE;
    }
    // Only a box of this process counts: the desktop is shared with other
    // programs that may show the same warning.
    static BOOL CALLBACK FindOwn(HWND w, LPARAM lp) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        char title[64];
        if (pid == GetCurrentProcessId() && GetWindowTextA(w, title, sizeof title) > 0 &&
            lstrcmpA(title, "Vantor Warrning!") == 0) {
            *reinterpret_cast<HWND*>(lp) = w;
            return FALSE;
        }
        return TRUE;
    }
    static HWND OwnBox() {
        HWND found = nullptr;
        EnumWindows(FindOwn, reinterpret_cast<LPARAM>(&found));
        return found;
    }
    void Run(int button, DWORD waitMs) {
        HWND box = nullptr;
        for (DWORD waited = 0; waited < waitMs && !box; waited += 50) {
            box = OwnBox();
            if (!box) Sleep(50);
        }
        if (!box) return;
        seen_ = true;
        Sleep(200); // let the box finish setting itself up
        EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&text_));
        HWND pressed = GetDlgItem(box, button ? button : IDNO);
        if (pressed)
            SendMessageA(pressed, BM_CLICK, 0, 0);
        else
            PostMessageA(box, WM_CLOSE, 0, 0);
    }
    std::atomic<bool> seen_{false};
    std::string text_;
    std::thread thread_;
};

class CounterCheck : public ::testing::Test {
  protected:
    void SetUp() override {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
        Delete();
    }
    // The prefix is shared: the counters are never left disabled.
    void TearDown() override { Delete(); }

    static void Delete() {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, KEY, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, VALUE);
            RegCloseKey(key);
        }
    }
    static void Set(DWORD v) {
        HKEY key;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, KEY, 0, KEY_WRITE, &key), ERROR_SUCCESS);
        ASSERT_EQ(
            RegSetValueExA(key, VALUE, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v),
            ERROR_SUCCESS);
        RegCloseKey(key);
    }
    // LONG answer of the read; *v the value when present.
    static LONG Get(DWORD* v) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return ERROR_FILE_NOT_FOUND;
        DWORD size = sizeof *v;
        LONG r = RegQueryValueExA(key, VALUE, nullptr, nullptr, reinterpret_cast<BYTE*>(v), &size);
        RegCloseKey(key);
        return r;
    }
};

TEST_F(CounterCheck, AbsentOrZeroGoesOnWithoutAsking) {
    {
        BoxAnswerer watch(0, 1500);
        EXPECT_TRUE(CheckPerfCounters());
        watch.Join();
        EXPECT_FALSE(watch.seen());
    }
    Set(0);
    {
        BoxAnswerer watch(0, 1500);
        EXPECT_TRUE(CheckPerfCounters());
        watch.Join();
        EXPECT_FALSE(watch.seen());
    }
    DWORD v = 7;
    EXPECT_EQ(Get(&v), ERROR_SUCCESS);
    EXPECT_EQ(v, 0u) << "a 0 is left as it is";
}

TEST_F(CounterCheck, DisabledAndNoEndsTheProgramAndKeepsTheValue) {
    Set(1);
    BoxAnswerer answer(IDNO, 30000);
    EXPECT_FALSE(CheckPerfCounters());
    answer.Join();
    ASSERT_TRUE(answer.seen());
    EXPECT_EQ(answer.text(),
              "このままでは正常動作できません。システム設定を変更しますか？\r\n（何を修正するかはヘ"
              "ルプを参照のこと。不安ならばここで「いいえ」を選んで終了してください）");
    DWORD v = 0;
    EXPECT_EQ(Get(&v), ERROR_SUCCESS);
    EXPECT_EQ(v, 1u);
}

TEST_F(CounterCheck, DisabledAndYesDeletesTheValue) {
    Set(1);
    BoxAnswerer answer(IDYES, 30000);
    EXPECT_TRUE(CheckPerfCounters());
    answer.Join();
    EXPECT_TRUE(answer.seen());
    DWORD v = 0;
    EXPECT_EQ(Get(&v), ERROR_FILE_NOT_FOUND) << "deleted, not set to 0";
}

} // namespace

// Stand-ins for the parts of the Windows shell that Vantor talks to, living
// in the test process on threads of their own: the notification area (a
// "Shell_TrayWnd" that Wine's Shell_NotifyIcon hands its records to) and the
// desktop's icon list view (a real SysListView32 in a "Progman" or "WorkerW"
// chain). Both behave like the shell, with knobs a test turns.
#pragma once
#include <windows.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace fakeshell {

// One Shell_NotifyIcon call as the notification area received it.
struct TrayCall {
    DWORD message = 0; // NIM_ADD, NIM_MODIFY, NIM_DELETE
    HWND window = nullptr;
    UINT id = 0, flags = 0, callback = 0;
    std::string tip;                   // back in code page 932
    int iconWidth = 0, iconHeight = 0; // 0 without an icon
    std::vector<uint32_t> iconPixels;  // 32-bit BGRA, rows top-down
    bool accepted = false;
    DWORD tick = 0;
};

// The notification area. Like the shell, it refuses to add an icon it has
// and to modify or delete one it has not.
class FakeTray {
  public:
    FakeTray();
    ~FakeTray();
    FakeTray(const FakeTray&) = delete;
    FakeTray& operator=(const FakeTray&) = delete;

    HWND hwnd() const { return hwnd_; }
    std::vector<TrayCall> Calls() const;
    size_t CallCount() const;
    bool HasIcon() const;
    // The next n calls fail whatever they ask (a shell not ready yet).
    void RefuseNext(int n);
    // A restarted shell: every icon is gone.
    void Forget();
    // What the shell posts when the pointer acts on the icon.
    bool Post(UINT mouseMessage) const;
    void Click() const;       // down, up
    void DoubleClick() const; // down, up, double click, up
    void RightClick() const;  // right down, right up

  private:
    static DWORD WINAPI Run(void* self);
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnCopyData(WPARAM wParam, const COPYDATASTRUCT* data);

    HWND hwnd_ = nullptr;
    HANDLE thread_ = nullptr, ready_ = nullptr;
    mutable std::mutex lock_;
    std::vector<TrayCall> calls_;
    bool present_ = false; // Vantor has one icon at most
    HWND owner_ = nullptr;
    UINT id_ = 0, callback_ = 0;
    int refuse_ = 0;
};

// The desktop's icon list view with its parents, as older shells ("Progman"
// holds it) and newer ones (a top-level "WorkerW" holds it, beside empty
// WorkerW windows) arrange it.
class FakeDesktop {
  public:
    enum Kind { PROGMAN, WORKERW };
    FakeDesktop(Kind kind, COLORREF text, COLORREF background);
    ~FakeDesktop();
    FakeDesktop(const FakeDesktop&) = delete;
    FakeDesktop& operator=(const FakeDesktop&) = delete;

    HWND listView() const { return listView_; }
    COLORREF TextColor() const;
    COLORREF BackgroundColor() const;
    // LVM_SETTEXTCOLOR / LVM_SETTEXTBKCOLOR received from others, in order.
    std::vector<std::pair<UINT, COLORREF>> Sets() const;
    // The shell itself paints the labels' background again.
    void PutBackground(COLORREF background);
    // The list view's thread stops answering until Release (a shell busy
    // or hung at start); returns once the thread is held.
    void Hold();
    void Release();

  private:
    static DWORD WINAPI Run(void* self);
    static LRESULT CALLBACK ListProc(HWND, UINT, WPARAM, LPARAM);

    Kind kind_;
    COLORREF text_, background_;
    HWND progman_ = nullptr, worker_ = nullptr, emptyWorker_ = nullptr, listView_ = nullptr;
    HANDLE thread_ = nullptr, ready_ = nullptr;
    WNDPROC listProc_ = nullptr;
    mutable std::mutex lock_;
    std::vector<std::pair<UINT, COLORREF>> sets_;
    bool ownChange_ = false;
    HANDLE held_ = nullptr, released_ = nullptr;
};

} // namespace fakeshell

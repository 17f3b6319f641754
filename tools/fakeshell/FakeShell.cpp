#include "tools/fakeshell/FakeShell.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>

namespace fakeshell {

namespace {

// Offsets in the record that Wine's Shell_NotifyIcon sends with WM_COPYDATA.
enum : size_t {
    REC_ID = 4,
    REC_FLAGS = 8,
    REC_CALLBACK = 12,
    REC_TIP = 16, // WCHAR[128]
    REC_ICON_WIDTH = 944,
    REC_ICON_HEIGHT = 948,
    REC_ICON_BPP = 956,
    REC_ICON_BITS = 960, // mask, then colour bits
};

// Posted to the list view: its thread waits until released.
enum : UINT { WM_HOLD = WM_APP + 1 };

uint32_t U32(const BYTE* p, size_t at) {
    uint32_t v;
    memcpy(&v, p + at, sizeof v);
    return v;
}

std::string Narrow(const WCHAR* text, size_t max) {
    size_t n = 0;
    while (n < max && text[n]) ++n;
    if (n == 0) return std::string();
    char out[512];
    int len = WideCharToMultiByte(932, 0, text, static_cast<int>(n), out, sizeof out, nullptr,
                                  nullptr);
    return std::string(out, len > 0 ? static_cast<size_t>(len) : 0);
}

void RegisterPlainClass(const char* name, WNDPROC proc) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = name;
    RegisterClassA(&wc); // a second fixture finds it registered
}

HANDLE StartThread(LPTHREAD_START_ROUTINE run, void* self, HANDLE* ready) {
    *ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, run, self, 0, nullptr);
    WaitForSingleObject(*ready, 10000);
    return thread;
}

void StopThread(HANDLE thread, HANDLE ready) {
    PostThreadMessageA(GetThreadId(thread), WM_QUIT, 0, 0);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    CloseHandle(ready);
}

void Pump() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

} // namespace

// ---- notification area ----

FakeTray::FakeTray() {
    thread_ = StartThread(Run, this, &ready_);
}

FakeTray::~FakeTray() {
    StopThread(thread_, ready_);
}

DWORD WINAPI FakeTray::Run(void* p) {
    FakeTray* self = static_cast<FakeTray*>(p);
    RegisterPlainClass("Shell_TrayWnd", Proc);
    // Topmost, so that it is the first "Shell_TrayWnd" in the Z order, ahead
    // of the one Wine's own explorer keeps.
    self->hwnd_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "Shell_TrayWnd", nullptr,
                                  WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(self->hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    SetEvent(self->ready_);
    Pump();
    DestroyWindow(self->hwnd_);
    return 0;
}

LRESULT CALLBACK FakeTray::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    FakeTray* self = reinterpret_cast<FakeTray*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_COPYDATA && self)
        return self->OnCopyData(wParam, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT FakeTray::OnCopyData(WPARAM wParam, const COPYDATASTRUCT* data) {
    TrayCall call;
    call.message = static_cast<DWORD>(data->dwData);
    call.window = reinterpret_cast<HWND>(wParam);
    call.tick = GetTickCount();
    const BYTE* p = static_cast<const BYTE*>(data->lpData);
    if (data->cbData >= REC_ICON_BITS) {
        call.id = U32(p, REC_ID);
        call.flags = U32(p, REC_FLAGS);
        call.callback = U32(p, REC_CALLBACK);
        WCHAR tip[128];
        memcpy(tip, p + REC_TIP, sizeof tip);
        call.tip = Narrow(tip, 128);
        int w = static_cast<int>(U32(p, REC_ICON_WIDTH));
        int h = static_cast<int>(U32(p, REC_ICON_HEIGHT));
        size_t maskBytes = (static_cast<size_t>(w) * h + 15) / 16 * 2;
        size_t colourBytes = static_cast<size_t>(w) * h * 4;
        if (w > 0 && h > 0 && U32(p, REC_ICON_BPP) == 32 &&
            data->cbData >= REC_ICON_BITS + maskBytes + colourBytes) {
            call.iconWidth = w;
            call.iconHeight = h;
            call.iconPixels.resize(static_cast<size_t>(w) * h);
            memcpy(call.iconPixels.data(), p + REC_ICON_BITS + maskBytes, colourBytes);
        }
    }

    std::lock_guard<std::mutex> hold(lock_);
    bool mine = present_ && owner_ == call.window && id_ == call.id;
    if (refuse_ > 0) {
        --refuse_;
    } else if (call.message == NIM_ADD) {
        call.accepted = !present_;
        if (call.accepted) {
            present_ = true;
            owner_ = call.window;
            id_ = call.id;
            callback_ = call.callback;
        }
    } else if (call.message == NIM_MODIFY) {
        call.accepted = mine;
        if (mine && (call.flags & NIF_MESSAGE)) callback_ = call.callback;
    } else if (call.message == NIM_DELETE) {
        call.accepted = mine;
        if (mine) present_ = false;
    }
    calls_.push_back(call);
    return call.accepted ? TRUE : FALSE;
}

std::vector<TrayCall> FakeTray::Calls() const {
    std::lock_guard<std::mutex> hold(lock_);
    return calls_;
}

size_t FakeTray::CallCount() const {
    std::lock_guard<std::mutex> hold(lock_);
    return calls_.size();
}

bool FakeTray::HasIcon() const {
    std::lock_guard<std::mutex> hold(lock_);
    return present_;
}

void FakeTray::RefuseNext(int n) {
    std::lock_guard<std::mutex> hold(lock_);
    refuse_ = n;
}

void FakeTray::Forget() {
    std::lock_guard<std::mutex> hold(lock_);
    present_ = false;
}

bool FakeTray::Post(UINT mouseMessage) const {
    std::lock_guard<std::mutex> hold(lock_);
    return present_ && PostMessageA(owner_, callback_, id_, mouseMessage);
}

void FakeTray::Click() const {
    Post(WM_LBUTTONDOWN);
    Post(WM_LBUTTONUP);
}

void FakeTray::DoubleClick() const {
    Post(WM_LBUTTONDOWN);
    Post(WM_LBUTTONUP);
    Sleep(80);
    Post(WM_LBUTTONDBLCLK);
    Post(WM_LBUTTONUP);
}

void FakeTray::RightClick() const {
    Post(WM_RBUTTONDOWN);
    Post(WM_RBUTTONUP);
}

// ---- desktop list view ----

FakeDesktop::FakeDesktop(Kind kind, COLORREF text, COLORREF background)
    : kind_(kind), text_(text), background_(background) {
    held_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    released_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = StartThread(Run, this, &ready_);
}

FakeDesktop::~FakeDesktop() {
    Release();
    StopThread(thread_, ready_);
    CloseHandle(held_);
    CloseHandle(released_);
}

DWORD WINAPI FakeDesktop::Run(void* p) {
    FakeDesktop* self = static_cast<FakeDesktop*>(p);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    for (const char* name : {"Progman", "WorkerW", "SHELLDLL_DefView"})
        RegisterPlainClass(name, DefWindowProcA);
    HINSTANCE module = GetModuleHandleA(nullptr);
    auto top = [&](const char* cls, const char* title) {
        return CreateWindowExA(WS_EX_TOOLWINDOW, cls, title, WS_POPUP, 0, 0, 300, 200, nullptr,
                               nullptr, module, nullptr);
    };
    self->progman_ = top("Progman", "Program Manager");
    HWND holder = self->progman_;
    if (self->kind_ == WORKERW) {
        // The WorkerW behind the icons comes after an empty one.
        self->emptyWorker_ = top("WorkerW", "");
        self->worker_ = top("WorkerW", "");
        holder = self->worker_;
    }
    HWND defView = CreateWindowExA(0, "SHELLDLL_DefView", "", WS_CHILD, 0, 0, 300, 200, holder,
                                   nullptr, module, nullptr);
    self->listView_ = CreateWindowExA(0, WC_LISTVIEWA, "FolderView", WS_CHILD | LVS_ICON, 0, 0,
                                      300, 200, defView, nullptr, module, nullptr);
    SendMessageA(self->listView_, LVM_SETTEXTCOLOR, 0, self->text_);
    SendMessageA(self->listView_, LVM_SETTEXTBKCOLOR, 0, self->background_);
    SetWindowLongPtrA(self->listView_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->listProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        self->listView_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProc)));
    SetEvent(self->ready_);
    Pump();
    for (HWND w : {self->progman_, self->worker_, self->emptyWorker_})
        if (w) DestroyWindow(w);
    return 0;
}

LRESULT CALLBACK FakeDesktop::ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    FakeDesktop* self = reinterpret_cast<FakeDesktop*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_HOLD) {
        SetEvent(self->held_);
        WaitForSingleObject(self->released_, 60000);
        return 0;
    }
    if ((msg == LVM_SETTEXTCOLOR || msg == LVM_SETTEXTBKCOLOR)) {
        std::lock_guard<std::mutex> hold(self->lock_);
        if (!self->ownChange_) self->sets_.emplace_back(msg, static_cast<COLORREF>(lParam));
    }
    return CallWindowProcA(self->listProc_, hwnd, msg, wParam, lParam);
}

COLORREF FakeDesktop::TextColor() const {
    return static_cast<COLORREF>(SendMessageA(listView_, LVM_GETTEXTCOLOR, 0, 0));
}

COLORREF FakeDesktop::BackgroundColor() const {
    return static_cast<COLORREF>(SendMessageA(listView_, LVM_GETTEXTBKCOLOR, 0, 0));
}

void FakeDesktop::Hold() {
    ResetEvent(released_);
    PostMessageA(listView_, WM_HOLD, 0, 0);
    WaitForSingleObject(held_, 10000);
}

void FakeDesktop::Release() {
    SetEvent(released_);
}

std::vector<std::pair<UINT, COLORREF>> FakeDesktop::Sets() const {
    std::lock_guard<std::mutex> hold(lock_);
    return sets_;
}

void FakeDesktop::PutBackground(COLORREF background) {
    {
        std::lock_guard<std::mutex> hold(lock_);
        ownChange_ = true;
    }
    SendMessageA(listView_, LVM_SETTEXTBKCOLOR, 0, background);
    std::lock_guard<std::mutex> hold(lock_);
    ownChange_ = false;
}

} // namespace fakeshell

#include "testkit.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace testkit {

namespace {

std::string Parent(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// The environment of the child: ours, with the provider script and the extra
// entries replacing variables of the same name.
std::vector<char> ChildEnvironment(const RunOptions& o) {
    std::vector<std::string> entries;
    entries.push_back("VANTOR_PROVIDER_SCRIPT=" + o.providerScript);
    for (const std::string& e : o.env) entries.push_back(e);
    auto nameOf = [](const std::string& e) {
        size_t eq = e.find('=', 1);
        std::string n = e.substr(0, eq);
        for (char& c : n) c = (char)toupper((unsigned char)c);
        return n;
    };
    std::vector<char> block;
    char* env = GetEnvironmentStringsA();
    for (const char* p = env; *p; p += strlen(p) + 1) {
        std::string e(p);
        bool replaced = false;
        for (const std::string& mine : entries) replaced = replaced || nameOf(mine) == nameOf(e);
        if (!replaced) block.insert(block.end(), e.begin(), e.end() + 0), block.push_back(0);
    }
    FreeEnvironmentStringsA(env);
    for (const std::string& e : entries) block.insert(block.end(), e.begin(), e.end()), block.push_back(0);
    block.push_back(0);
    return block;
}

// Deletes a folder and everything in it; a file still open is left.
void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = dir + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    RemoveDirectoryA(dir.c_str());
}

// The folders FreshTempDir made, each removed when the test that made it
// passes (folders made outside a test, when the whole run passes). A failed
// test keeps its folder to be looked at. Copies of the program made there
// (an emptied menu, a renamed exe) must not outlive the test: a tool looking
// for the newest vantor.exe under build/ would find them.
class TempDirSweeper : public ::testing::EmptyTestEventListener {
public:
    void Add(const std::string& dir) {
        (::testing::UnitTest::GetInstance()->current_test_info() ? ofTest_ : ofRun_)
            .push_back(dir);
    }

private:
    void OnTestEnd(const ::testing::TestInfo& info) override {
        if (info.result()->Passed()) Sweep(&ofTest_);
        ofTest_.clear();
    }
    void OnTestProgramEnd(const ::testing::UnitTest& run) override {
        if (run.Passed()) Sweep(&ofRun_);
    }
    static void Sweep(std::vector<std::string>* dirs) {
        for (const std::string& d : *dirs) RemoveTree(d);
        dirs->clear();
    }
    std::vector<std::string> ofTest_, ofRun_;
};

TempDirSweeper* Sweeper() {
    static TempDirSweeper* sweeper = [] {
        auto* s = new TempDirSweeper; // owned by gtest's listener list
        ::testing::UnitTest::GetInstance()->listeners().Append(s);
        return s;
    }();
    return sweeper;
}

} // namespace

std::string BuildDir() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return Parent(std::string(path, n));
}

std::string FreshTempDir(const char* name) {
    std::string root = BuildDir() + "\\tmp";
    CreateDirectoryA(root.c_str(), nullptr);
    static int serial = 0;
    for (;;) {
        char dir[MAX_PATH];
        snprintf(dir, sizeof dir, "%s\\%s-%lu-%d", root.c_str(), name, GetCurrentProcessId(), ++serial);
        if (CreateDirectoryA(dir, nullptr)) {
            Sweeper()->Add(dir);
            return dir;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) return std::string();
    }
}

std::string WriteTextFile(const std::string& path, const std::string& text) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return std::string();
    bool ok = fwrite(text.data(), 1, text.size(), f) == text.size();
    if (fclose(f) != 0 || !ok) return std::string();
    return path;
}

Process::~Process() {
    if (process) Kill(*this);
}

bool Start(const RunOptions& o, Process* out) {
    std::string cmd = "\"" + o.exe + "\"";
    if (!o.args.empty()) cmd += " " + o.args;
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back(0);
    std::vector<char> env = ChildEnvironment(o);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(o.exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, env.data(),
                        o.workDir.empty() ? nullptr : o.workDir.c_str(), &si, &pi))
        return false;
    if (out->process) Kill(*out);
    out->process = pi.hProcess;
    out->thread = pi.hThread;
    out->pid = pi.dwProcessId;
    return true;
}

bool IsRunning(const Process& p) {
    return p.process && WaitForSingleObject(p.process, 0) == WAIT_TIMEOUT;
}

bool WaitExit(Process& p, DWORD timeoutMs, DWORD* exitCode) {
    if (!p.process || WaitForSingleObject(p.process, timeoutMs) != WAIT_OBJECT_0) return false;
    DWORD code = 0;
    GetExitCodeProcess(p.process, &code);
    if (exitCode) *exitCode = code;
    return true;
}

void Kill(Process& p) {
    if (!p.process) return;
    if (WaitForSingleObject(p.process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(p.process, 0xDEAD);
        WaitForSingleObject(p.process, 10000);
    }
    CloseHandle(p.process);
    if (p.thread) CloseHandle(p.thread);
    p.process = p.thread = nullptr;
    p.pid = 0;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
}

HWND WaitForWindow(const char* cls, const char* title, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowA(cls, title)) != nullptr; }, timeoutMs);
    return found;
}

bool SendWithTimeout(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD timeoutMs, LRESULT* result) {
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG, timeoutMs, &r)) return false;
    if (result) *result = (LRESULT)r;
    return true;
}

bool Post(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return PostMessageA(hwnd, msg, wp, lp) != 0; }

bool ReadFileText(const std::string& path, std::string* text) {
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return false;
    text->clear();
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) text->append(buf, n);
    fclose(f);
    return true;
}

namespace {

// Copies a screen rectangle into 32-bit top-down pixels.
bool GrabScreen(int x, int y, int w, int h, std::vector<COLORREF>* pixels) {
    if (w <= 0 || h <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    bool ok = BitBlt(mem, 0, 0, w, h, screen, x, y, SRCCOPY) != 0;
    SelectObject(mem, old);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> bgra((size_t)w * h);
    ok = ok && GetDIBits(mem, bmp, 0, h, bgra.data(), &bi, DIB_RGB_COLORS) == h;
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    if (!ok) return false;
    pixels->resize(bgra.size());
    for (size_t i = 0; i < bgra.size(); ++i) {
        DWORD v = bgra[i];
        (*pixels)[i] = RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    return true;
}

} // namespace

std::string Screenshot(const char* name) {
    int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    std::vector<COLORREF> pixels;
    if (!GrabScreen(x, y, w, h, &pixels)) return std::string();
    // build/windows/tests/<area>/x.exe -> build/windows/screenshots
    std::string dir = Parent(Parent(BuildDir())) + "\\screenshots";
    CreateDirectoryA(dir.c_str(), nullptr);
    std::string path = dir + "\\" + name + ".png";
    return WritePng(path, pixels, w, h) ? path : std::string();
}

bool ReadWindowPixels(HWND hwnd, std::vector<COLORREF>* pixels, int* w, int* h) {
    RECT r;
    if (!GetWindowRect(hwnd, &r)) return false;
    *w = r.right - r.left;
    *h = r.bottom - r.top;
    return GrabScreen(r.left, r.top, *w, *h, pixels);
}

} // namespace testkit

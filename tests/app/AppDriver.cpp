#include "tests/app/AppDriver.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace app_driver {

namespace {

std::string Bin() {
    return testkit::BuildDir() + "\\..\\..\\bin";
}

} // namespace

bool Start(Vantor* v, const char* name, const std::string& iniText, int cpus) {
    Xdo("mousemove 1015 760");
    v->dir = testkit::FreshTempDir(name);
    v->ini = v->dir + "\\vantor.ini";
    std::string exe = v->dir + "\\vantor.exe";
    if (!CopyFileA((Bin() + "\\vantor.exe").c_str(), exe.c_str(), FALSE)) return false;
    if (testkit::WriteTextFile(v->ini, iniText).empty()) return false;
    std::string loads = "cpus " + std::to_string(cpus) + "\n";
    for (int i = 0; i < cpus; ++i)
        loads += (i ? " " : "") + std::to_string(30 + 10 * i);
    testkit::RunOptions o;
    o.exe = exe;
    o.workDir = v->dir;
    o.providerScript = testkit::WriteTextFile(v->dir + "\\loads.txt", loads + "\n");
    if (!testkit::Start(o, &v->process)) return false;
    v->window = testkit::WaitForWindow("Vantor_PerfMon", "Vantor", 15000);
    return v->window &&
           testkit::WaitUntil([&] { return IsWindowVisible(v->window) != FALSE; }, 5000);
}

void Exit(Vantor& v) {
    ASSERT_TRUE(testkit::Post(v.window, WM_COMMAND, 40001, 0));
    DWORD code = 99;
    ASSERT_TRUE(testkit::WaitExit(v.process, 10000, &code));
    EXPECT_EQ(code, 0u);
}

bool Xdo(const std::string& args) {
    std::string line = "/usr/bin/xdotool " + args;
    std::vector<char> cmd(line.begin(), line.end());
    cmd.push_back(0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return false;
    bool done = WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    // The program reads the X events on its next turn of the message loop.
    Sleep(60);
    return done;
}

RECT RectOf(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

bool WaitPlace(HWND window, int left, int top, DWORD timeoutMs) {
    return testkit::WaitUntil(
        [&] {
            RECT r = RectOf(window);
            return r.left == left && r.top == top;
        },
        timeoutMs);
}

bool WaitSize(HWND window, int width, int height, DWORD timeoutMs) {
    return testkit::WaitUntil(
        [&] {
            RECT r = RectOf(window);
            return r.right - r.left == width && r.bottom - r.top == height;
        },
        timeoutMs);
}

std::string IniValue(const std::string& ini, const char* section, const char* key) {
    char value[256] = {};
    GetPrivateProfileStringA(section, key, "<none>", value, sizeof value, ini.c_str());
    return value;
}

bool WaitIniValue(const std::string& ini, const char* section, const char* key,
                  const std::string& want, DWORD timeoutMs) {
    return testkit::WaitUntil([&] { return IniValue(ini, section, key) == want; }, timeoutMs);
}

std::string Section(const std::string& iniText, const char* name) {
    std::string head = std::string("[") + name + "]";
    size_t at = iniText.find(head);
    if (at == std::string::npos) return "";
    size_t end = iniText.find("\n[", at + head.size());
    return iniText.substr(at, end == std::string::npos ? std::string::npos : end + 1 - at);
}

std::string OpenMenus(Vantor& v) {
    static HHOOK hook = nullptr;
    static DWORD hookedThread = 0;
    static std::string output;
    DWORD thread = GetWindowThreadProcessId(v.window, nullptr);
    if (!hook || hookedThread != thread) {
        if (hook) UnhookWindowsHookEx(hook);
        std::string dll = Bin() + "\\menuprobe.dll";
        HMODULE probe = LoadLibraryA(dll.c_str());
        EXPECT_NE(probe, nullptr) << dll;
        if (!probe) return "";
        HOOKPROC proc = reinterpret_cast<HOOKPROC>(
            reinterpret_cast<void*>(GetProcAddress(probe, "MenuProbeHook")));
        hook = SetWindowsHookExA(WH_GETMESSAGE, proc, probe, thread);
        EXPECT_NE(hook, nullptr);
        hookedThread = thread;
        output = dll + ".txt";
    }
    DeleteFileA(output.c_str());
    std::string text;
    testkit::WaitUntil(
        [&] {
            PostMessageA(v.window, WM_NULL, 0x4D50, 0);
            Sleep(50);
            return testkit::ReadFileText(output, &text);
        },
        5000);
    return text;
}

HWND WaitMenuWindow(DWORD timeoutMs) {
    HWND menu = nullptr;
    testkit::WaitUntil(
        [&] {
            menu = FindWindowA("#32768", nullptr);
            return menu && IsWindowVisible(menu);
        },
        timeoutMs);
    return menu;
}

void PressKey(HWND menu, WPARAM key) {
    PostMessageA(menu, WM_KEYDOWN, key, 0);
    Sleep(80);
}

} // namespace app_driver

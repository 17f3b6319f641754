// Entry procedure: single instance, counter check, paths, the sampler and the
// per-processor arrays, settings, the main window and its message loop.
#include "app/AppState.h"
#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/MessageLoop.h"
#include "base/SafeText.h"
#include "measure/LoadHistory.h"
#include "measure/LoadSampler.h"
#include "measure/PerfCounterCheck.h"
#include "settings/SettingsFile.h"
#include "titlebar/TitleBar.h"
#include "view/Skin.h"

#include <new>

namespace {

// Registered before the entry procedure, as the shell may broadcast it at
// any time once a window exists.
const UINT taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");

bool RefuseWindows9x() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        MessageBoxA(nullptr, "Windows 95/98/Me では動作しません。", "Vantor error", MB_OK);
        return true;
    }
    app.osNt5OrLater = version.dwMajorVersion > 4;
    return false;
}

// False when another instance runs (it is shown when hidden, and raised
// unless minimised) or the mutex cannot be had.
bool TakeSingleInstance() {
    app.instanceMutex = CreateMutexA(nullptr, TRUE, "Vantor_PerfMon");
    if (!app.instanceMutex) return false;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        HWND other = FindWindowA(VANTOR_CLASS, VANTOR_TITLE);
        // A hidden window whose tray icon the shell refused has no other way
        // back. Sent, so that it shows before it is raised from here, where
        // the right to the foreground is.
        if (other)
            SendMessageTimeoutA(other, WM_SHOWHIDDEN, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL, 2000,
                                nullptr);
        if (other && !IsIconic(other)) SetForegroundWindow(other);
        CloseHandle(app.instanceMutex);
        app.instanceMutex = nullptr;
        return false;
    }
    return true;
}

bool BuildPaths() {
    char path[MAX_PATH];
    if (!ProgramFolder(path)) return false;
    CopyText(app.iniPath, sizeof app.iniPath, path);
    CopyText(app.helpPath, sizeof app.helpPath, path);
    // A folder so deep that the name does not fit leaves no usable path.
    if (AppendText(app.iniPath, sizeof app.iniPath, "vantor.ini") != strlen(path) + 10)
        return false;
    AppendText(app.helpPath, sizeof app.helpPath, "vantor.chm");
    CopyText(app.guidePath, sizeof app.guidePath, path);
    // A guide path cut short would open some other file.
    if (AppendText(app.guidePath, sizeof app.guidePath, "help\\index.html") != strlen(path) + 15)
        app.guidePath[0] = '\0';
    return true;
}

bool RegisterMainClass(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "MYICON");
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = VANTOR_CLASS;
    return RegisterClassA(&wc) != 0;
}

bool CreateSamplerAndArrays() {
    app.sampler = new (std::nothrow) LoadSampler();
    if (!app.sampler) return false;
    app.logMeter = app.sampler->newMeter().release();
    app.watchMeter = app.sampler->newMeter().release();
    int count = app.sampler->processorCount();
    app.cpuCount = count > 1 ? count : 0;
    size_t entries = static_cast<size_t>(app.cpuCount) + 1;
    app.graphPens = new (std::nothrow) HPEN[entries]();
    app.gcolor = new (std::nothrow) uint32_t[entries]();
    app.loadHistory = new (std::nothrow) LoadHistory[entries];
    app.pendingGcolor = new (std::nothrow) uint32_t[entries]();
    return app.graphPens && app.gcolor && app.loadHistory && app.pendingGcolor && app.logMeter &&
           app.watchMeter;
}

void FreeSamplerAndArrays() {
    delete app.sampler;
    delete app.logMeter;
    delete app.watchMeter;
    delete[] app.graphPens;
    delete[] app.gcolor;
    delete[] app.loadHistory;
    delete[] app.pendingGcolor;
    app.sampler = nullptr;
    app.logMeter = nullptr;
    app.watchMeter = nullptr;
    app.graphPens = nullptr;
    app.gcolor = nullptr;
    app.loadHistory = nullptr;
    app.pendingGcolor = nullptr;
}

void ReleaseMutexEarly() {
    if (app.instanceMutex) {
        ReleaseMutex(app.instanceMutex);
        CloseHandle(app.instanceMutex);
        app.instanceMutex = nullptr;
    }
}

int RunMessageLoop() {
    MSG msg = {};
    return RunLoop(
        msg, [](MSG& m) { return static_cast<int>(GetMessageA(&m, nullptr, 0, 0)); },
        [](MSG& m) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        });
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand) {
    app.msgTaskbarCreated = taskbarCreatedMessage;
    if (RefuseWindows9x()) return 0;
    if (!TakeSingleInstance()) return 0;
    if (!CheckPerfCounters() || !BuildPaths()) {
        ReleaseMutexEarly();
        return 0;
    }
    ExitOption exit = ParseExitOption(commandLine);
    app.exitDelay = exit.delay;
    app.exitThreshold = exit.threshold;
    app.exitDuration = exit.duration;
    InitCpuFormatters(app);
    app.instance = instance;

    if ((!previous && !RegisterMainClass(instance)) || !CreateSamplerAndArrays()) {
        FreeSamplerAndArrays();
        ReleaseMutexEarly();
        return 0;
    }
    LoadSettings();

    HWND window =
        CreateWindowExA(WS_EX_TOOLWINDOW, VANTOR_CLASS, VANTOR_TITLE, WS_POPUP, CW_USEDEFAULT,
                        CW_USEDEFAULT, 120, 80, nullptr, nullptr, instance, nullptr);
    if (!window) {
        FreeSamplerAndArrays();
        ReleaseMutexEarly();
        return 0;
    }
    app.mainWindow = window;
    ShowWindow(window, app.winhide ? SW_HIDE : showCommand);
    UpdateWindow(window);

    int code = RunMessageLoop();
    FreeSamplerAndArrays();
    if (app.user32Module) FreeLibrary(app.user32Module);
    if (app.kernel32Module) FreeLibrary(app.kernel32Module);
    return code;
}

#include "tests/shell/VantorRun.h"

namespace fakeshell {

bool VantorRun::Start(const char* name, const std::string& ini, const std::string& script) {
    dir = testkit::FreshTempDir(name);
    std::string built = testkit::BuildDir() + "\\..\\..\\bin\\vantor.exe";
    if (dir.empty() || !CopyFileA(built.c_str(), Exe().c_str(), FALSE)) return false;
    if (testkit::WriteTextFile(Ini(), ini).empty()) return false;
    testkit::RunOptions o;
    o.exe = Exe();
    o.workDir = dir;
    o.providerScript = testkit::WriteTextFile(dir + "\\loads.txt", script);
    if (!testkit::Start(o, &process)) return false;
    window = testkit::WaitForWindow("Vantor_PerfMon", "Vantor", 15000);
    // Once a message comes back, the window's set-up has run.
    return window && testkit::SendWithTimeout(window, WM_NULL, 0, 0, 10000, nullptr);
}

bool VantorRun::Exit() {
    DWORD code = 99;
    return window && testkit::Post(window, WM_COMMAND, 40001, 0) &&
           testkit::WaitExit(process, 15000, &code) && code == 0;
}

} // namespace fakeshell

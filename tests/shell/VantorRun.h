// The real vantor.exe in a fresh folder with the test's vantor.ini and
// scripted load, for the tests that play the shell beside it.
#pragma once
#include "tests/testkit/testkit.h"

struct VantorRun {
    std::string dir;
    testkit::Process process;
    HWND window = nullptr;

    // The ini names [Window] wintop, which marks the file's current layout.
    bool Start(const char* name, const std::string& windowKeys, const std::string& optionKeys,
               const std::string& extKeys, const std::string& script) {
        dir = testkit::FreshTempDir(name);
        std::string built = testkit::BuildDir() + "\\..\\..\\bin\\vantor.exe";
        testkit::RunOptions o{Exe(), "", dir, testkit::WriteTextFile(dir + "\\l.txt", script), {}};
        if (!CopyFileA(built.c_str(), Exe().c_str(), FALSE) ||
            testkit::WriteTextFile(Ini(), "[Window]\r\nposx=200\r\nposy=200\r\nwintop=0\r\n" +
                                              windowKeys + "[Option]\r\n" + optionKeys +
                                              "[Config]\r\ntmrate=200\r\n[Config\\Ext]\r\n" +
                                              extKeys).empty() ||
            !testkit::Start(o, &process))
            return false;
        window = testkit::WaitForWindow("Vantor_PerfMon", "Vantor", 15000);
        // Once a message comes back, the window's set-up has run.
        return window && testkit::SendWithTimeout(window, WM_NULL, 0, 0, 10000, nullptr);
    }
    bool Exit() { // the exit command; true when the program ended with 0
        DWORD code = 99;
        return testkit::Post(window, WM_COMMAND, 40001, 0) &&
               testkit::WaitExit(process, 15000, &code) && code == 0;
    }
    std::string Exe() const { return dir + "\\vantor.exe"; }
    std::string Ini() const { return dir + "\\vantor.ini"; }
};

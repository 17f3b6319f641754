// The real vantor.exe in a folder of its own, with the test's vantor.ini and
// a scripted load.
#pragma once
#include <windows.h>

#include <string>

#include "tests/testkit/testkit.h"

namespace fakeshell {

struct VantorRun {
    std::string dir; // the program's folder
    testkit::Process process;
    HWND window = nullptr;

    // Copies the program into a fresh folder named after `name`, writes the
    // ini text and the provider script there, starts it and waits for its
    // window.
    bool Start(const char* name, const std::string& ini, const std::string& script);
    // The "終了" command; true when the program ended with code 0.
    bool Exit();
    std::string Exe() const { return dir + "\\vantor.exe"; }
    std::string Ini() const { return dir + "\\vantor.ini"; }
};

} // namespace fakeshell

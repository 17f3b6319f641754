// Test kit of the Wine tests. Every wait takes a timeout: a program that hangs
// fails its test instead of hanging the run.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace testkit {

std::string BuildDir();                       // folder of the running test exe
std::string FreshTempDir(const char* name);   // new empty folder under the build tree
std::string WriteTextFile(const std::string& path, const std::string& text); // returns path

struct RunOptions {
    std::string exe;
    std::string args;          // command line after the exe (already quoted as needed)
    std::string workDir;       // empty = the test's own
    std::string providerScript; // VANTOR_PROVIDER_SCRIPT for the child; empty = live figures
    std::vector<std::string> env; // extra "NAME=value" entries
};

struct Process {
    HANDLE process = nullptr;
    HANDLE thread = nullptr;
    DWORD pid = 0;
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process(); // kills a child still running
};

bool Start(const RunOptions& options, Process* out);
bool WaitExit(Process& p, DWORD timeoutMs, DWORD* exitCode);
void Kill(Process& p); // TerminateProcess, then waits for the end
bool IsRunning(const Process& p);

HWND WaitForWindow(const char* cls, const char* title, DWORD timeoutMs);
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

bool SendWithTimeout(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD timeoutMs, LRESULT* result);
bool Post(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

bool ReadFileText(const std::string& path, std::string* text);

// The whole virtual screen into build/windows/screenshots/<name>.png; returns the path.
std::string Screenshot(const char* name);
// Pixels of the screen under the window rectangle, rows top-down.
bool ReadWindowPixels(HWND hwnd, std::vector<COLORREF>* pixels, int* w, int* h);

// The open popup menu (a #32768 window), waited for.
HWND WaitForMenu(DWORD timeoutMs);
// Items of the menus that window's thread has open, read by the menu probe
// hook: id -> "checked|unchecked[,grayed] mark|nomark"; texts gets
// "<id> <text>|" for every item in order (0 for submenus and separators).
std::map<unsigned, std::string> OpenMenuItems(HWND window, std::string* texts);
// Opens the window's popup menu with its own right-click handler, reads it
// and closes it again.
std::map<unsigned, std::string> MenuItemsOf(HWND window);

// PNG of 24-bit RGB pixels (COLORREF order), rows top-down.
bool WritePng(const std::string& path, const std::vector<COLORREF>& pixels, int w, int h);

} // namespace testkit

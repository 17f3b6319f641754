// Drives vantor.exe's options dialog from another process, the way the
// platform lets a test do it: posted clicks and keys, WM_SETTEXT, the
// common dialogs found by their titles, and the program's own vantor.ini.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "tests/testkit/testkit.h"

namespace dialogdriver {

// One copy of the program in a folder of its own, with its own settings.
struct Vantor {
    std::string dir, ini;
    testkit::Process process;
    HWND window = nullptr;
};

struct Tweak {
    const char* section;
    const char* key;
    std::string value;
};

// Copies vantor.exe into a fresh folder, writes ini (when not empty) with
// the tweaks and the load script, starts it and waits for its window.
bool Launch(Vantor& v, const char* name, const std::string& ini, const std::string& script,
            const std::vector<Tweak>& tweaks = {});
void Quit(Vantor& v); // the exit command, then waits for the end

// A skin folder beside the program: with a skin.ini when skinIni is set.
void MakeFolder(const Vantor& v, const std::string& name, bool skinIni);

// Settings file as section -> key -> value.
using IniMap = std::map<std::string, std::map<std::string, std::string>>;
IniMap ReadIni(const std::string& path);
// "Section.key=value" for each key whose value differs (or exists in one only).
std::map<std::string, std::string> Changes(const IniMap& before, const IniMap& after);

HWND OpenOptions(const Vantor& v); // the command 設定..., then the dialog
HWND Page(HWND dialog, int index); // the page shown for tab index
void NextTab(HWND dialog);         // the right-arrow key on the tab control
bool OnlyPageShown(HWND dialog, int index);

bool Click(HWND page, int id);                 // BM_CLICK, waits for it
bool PostClick(HWND page, int id);             // BM_CLICK posted (opens a modal chooser)
bool ClickAt(HWND control);                    // the pointer clicks its centre
bool SetText(HWND page, int id, const char* text);
std::string Text(HWND page, int id);
bool IsChecked(HWND page, int id);
bool Enabled(HWND page, int id);
void MoveSlider(HWND page, int id, int position);
int SliderPos(HWND page, int id);
// Combo entries as UTF-8 (read with the wide message across processes).
std::string ComboEntry(HWND page, int id, int index);
int ComboCount(HWND page, int id);
void PickCombo(HWND page, int id, int index);

// A top-level dialog of that title (UTF-8 titles are not used: CP932).
HWND WaitDialog(const char* title, DWORD timeoutMs = 10000);
bool WaitGone(HWND window, DWORD timeoutMs = 10000);
// Ends the dialog with the button and waits until it is gone.
bool Press(HWND dialog, int id);
// The colour chooser that a click opened: picks r, g, b and OK.
bool PickColour(int r, int g, int b);
bool CancelChooser(const char* title);

} // namespace dialogdriver

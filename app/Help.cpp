#include "app/Help.h"

#include "app/AppState.h"
#include "base/SafeText.h"

#include <shellapi.h>

namespace {

bool IsFile(const char* path) {
    DWORD attributes = path[0] ? GetFileAttributesA(path) : INVALID_FILE_ATTRIBUTES;
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

// A compiled help file someone put beside the program still wins, as it did
// before the guide shipped. The browser's answer is not waited for.
void OpenHelp(HWND window) {
    const char* path = IsFile(app.helpPath) ? app.helpPath
                       : IsFile(app.guidePath) ? app.guidePath
                                               : nullptr;
    if (path) {
        ShellExecuteA(window, nullptr, path, nullptr, nullptr, SW_SHOW);
        return;
    }
    char text[2 * MAX_PATH + 80];
    CopyText(text, sizeof text, "ヘルプが見つかりません。次の場所を探しました:\r\n");
    AppendText(text, sizeof text, app.guidePath);
    AppendText(text, sizeof text, "\r\n");
    AppendText(text, sizeof text, app.helpPath);
    MessageBoxA(window, text, "Vantor エラー", MB_OK | MB_ICONWARNING);
}

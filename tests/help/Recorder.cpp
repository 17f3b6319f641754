// Stands in for the browser (and the help viewer): writes the one argument
// the shell handed it, as UTF-8, to opened.txt beside itself, and ends.
#include <windows.h>

#include <shellapi.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    while (n && path[n - 1] != L'\\') --n;
    if (!argv || argc != 2 || n + 11 >= MAX_PATH) return 1;
    lstrcpyW(path + n, L"opened.txt");
    char text[4 * MAX_PATH];
    int bytes = WideCharToMultiByte(CP_UTF8, 0, argv[1], -1, text, sizeof text, nullptr, nullptr);
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE) return 1;
    WriteFile(file, text, bytes > 0 ? bytes - 1 : 0, &written, nullptr);
    CloseHandle(file);
    return 0;
}

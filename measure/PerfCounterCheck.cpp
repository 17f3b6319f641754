#include "measure/PerfCounterCheck.h"

#include <windows.h>

namespace {

const char PERFOS_KEY[] = "SYSTEM\\CurrentControlSet\\Services\\PerfOS\\Performance";
const char DISABLE_VALUE[] = "Disable Performance Counters";
const char WARNING_TITLE[] = "Vantor Warrning!";

// The main window does not exist yet: the boxes have no owner.
int Warn(const char* text, UINT buttons) {
    return MessageBoxA(nullptr, text, WARNING_TITLE, MB_ICONWARNING | buttons);
}

} // namespace

bool CheckPerfCounters() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PERFOS_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return true;
    DWORD disabled = 0, size = sizeof disabled;
    // The value's type is not examined: four bytes read as a number.
    const LONG read = RegQueryValueExA(key, DISABLE_VALUE, nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(&disabled), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || disabled == 0) return true;

    if (Warn("このままでは正常動作できません。システム設定を変更しますか？\r\n"
             "（何を修正するかはヘルプを参照のこと。不安ならばここで「いいえ」を選んで終了してくだ"
             "さい）",
             MB_YESNO) != IDYES)
        return false;

    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PERFOS_KEY, 0, KEY_WRITE, &key) != ERROR_SUCCESS) {
        Warn("システム設定の変更に失敗。\r\nAdmin権限のあるアカウントで実行してください。", MB_OK);
        return false;
    }
    // Deleted rather than set to 0, which is how the system ships it.
    const LONG deleted = RegDeleteValueA(key, DISABLE_VALUE);
    RegCloseKey(key);
    if (deleted == ERROR_SUCCESS) return true;
    Warn("システム設定の変更に失敗。", MB_OK);
    return false;
}

#include "dialogs/settings_store.h"

int AccessSetting(int mode, LPCWSTR name, DWORD* type, void* data, DWORD* size) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY, 0, const_cast<LPWSTR>(u""), 0, 0, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
        return 0;
    LONG result = ERROR_INVALID_PARAMETER;
    if (mode == SettingWrite) {
        result = RegSetValueExW(key, name, 0, *type, static_cast<const BYTE*>(data), *size);
    } else if (mode == SettingRead) {
        result = RegQueryValueExW(key, name, nullptr, type, static_cast<LPBYTE>(data), size);
    }
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? 1 : 0;
}

void ReadRememberedText(const std::u16string& name, WCHAR* text) {
    DWORD type = REG_SZ;
    DWORD size = (RememberedTextLength + 1) * sizeof(WCHAR);
    text[0] = 0;
    if (AccessSetting(SettingRead, name.c_str(), &type, text, &size) == 0) {
        text[0] = 0;
        return;
    }
    // The store may hold anything under the name: the text ends at its
    // first zero, and never past what was read or the last unit of room.
    const DWORD units = std::min<DWORD>(size / sizeof(WCHAR), RememberedTextLength);
    text[units] = 0;
}

void WriteRememberedText(const std::u16string& name, LPCWSTR text) {
    DWORD type = REG_SZ;
    DWORD size = static_cast<DWORD>((lstrlenW(text) + 1) * sizeof(WCHAR));
    AccessSetting(SettingWrite, name.c_str(), &type, const_cast<WCHAR*>(text), &size);
}

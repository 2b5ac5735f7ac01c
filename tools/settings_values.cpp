#include "tools/settings_values.h"

#include "dialogs/settings_store.h"

#include <cstdio>

HKEY OpenSettingsKey(bool create, LONG* status) {
    HKEY key = nullptr;
    *status = create ? RegCreateKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY, 0, nullptr, 0, 0, nullptr, &key, nullptr)
                     : RegOpenKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY, 0, KEY_READ, &key);
    return *status == ERROR_SUCCESS ? key : nullptr;
}

bool ReadSettingValue(HKEY key, const std::u16string& name, DWORD* type, std::vector<BYTE>* data) {
    DWORD size = 0;
    if (RegQueryValueExW(key, name.c_str(), nullptr, type, nullptr, &size) != ERROR_SUCCESS) return false;
    data->resize(size);
    return RegQueryValueExW(key, name.c_str(), nullptr, type, data->data(), &size) == ERROR_SUCCESS;
}

bool ReadSettingValues(std::vector<SettingValue>* values, LONG* status) {
    values->clear();
    HKEY key = OpenSettingsKey(false, status);
    if (key == nullptr) return *status == ERROR_FILE_NOT_FOUND;
    std::vector<WCHAR> name(16384);
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(name.size());
        DWORD type = 0;
        DWORD size = 0;
        if (RegEnumValueW(key, i, name.data(), &length, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        SettingValue value;
        value.name.assign(name.data(), length);
        if (ReadSettingValue(key, value.name, &value.type, &value.data)) values->push_back(std::move(value));
    }
    RegCloseKey(key);
    return true;
}

std::u16string SettingText(DWORD type, const std::vector<BYTE>& data) {
    std::u16string text;
    if (type == REG_SZ) {
        for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
            const char16_t unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
            if (unit == 0) break;
            text += unit;
        }
        return text;
    }
    std::string out = "hex(" + std::to_string(type) + ")";
    for (BYTE b : data) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02x", b);
        out += hex;
    }
    return platform::from_utf8(out);
}

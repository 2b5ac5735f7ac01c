// The values of the program's settings key as the settings tool and the
// script runner show them.
#pragma once

#include "platform/win32.h"

#include <string>
#include <vector>

struct SettingValue {
    std::u16string name;
    DWORD type = 0;
    std::vector<BYTE> data;
};

// Every value of the program's key, in the order they were first set; none
// when the key does not exist yet. False, with the registry's status, when
// the store cannot be read.
bool ReadSettingValues(std::vector<SettingValue>* values, LONG* status);
// A string value as its text up to its first zero unit; a value of any
// other type as "hex(TYPE)" and its bytes in hex.
std::u16string SettingText(DWORD type, const std::vector<BYTE>& data);
// Reads one value; false when there is none by that name.
bool ReadSettingValue(HKEY key, const std::u16string& name, DWORD* type, std::vector<BYTE>* data);
// The program's key, made when create is set; null with status otherwise.
HKEY OpenSettingsKey(bool create, LONG* status);

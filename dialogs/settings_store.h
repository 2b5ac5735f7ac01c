// The settings store: the last choices of the Find and Information dialogs,
// kept for the current user in one registry key. The key is opened afresh
// for every access and closed right after it; nothing is cached.
#pragma once

#include "platform/win32.h"

// HKEY_CURRENT_USER below this path.
#define SETTINGS_KEY u"Software\\Tarnwick\\Mapfolio"

// The two modes of AccessSetting.
constexpr int SettingWrite = 0;
constexpr int SettingRead = 1;

// Writes (mode 0: type, size bytes of data) or reads (mode 1: the stored
// type into type, the bytes into data, whose capacity in bytes size gives
// and which receives the number read) the value named name of the settings
// key, creating the key when it is missing. 1 on success, 0 on failure: no
// key, no such value, or one larger than the capacity.
int AccessSetting(int mode, LPCWSTR name, DWORD* type, void* data, DWORD* size);

// The remembered texts of the dialogs: at most this many characters.
constexpr int RememberedTextLength = 199;

// Reads the text stored under name into text (RememberedTextLength + 1
// units), ending it at its first zero or after RememberedTextLength
// characters whatever the stored bytes are (their type, an odd size, no
// zero at all). Empty when the read fails.
void ReadRememberedText(const std::u16string& name, WCHAR* text);
// Stores text under name as a string value, its terminating zero included.
// A failed write is not reported.
void WriteRememberedText(const std::u16string& name, LPCWSTR text);

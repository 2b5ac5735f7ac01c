#include "mapdb/module_directory.h"

bool GetModuleDirectory(WCHAR* dest) {
    const DWORD length = GetModuleFileNameW(nullptr, dest, MAX_PATH);
    // A result of MAX_PATH means the path was cut to fit.
    if (length == 0 || length >= MAX_PATH) {
        dest[0] = 0;
        return false;
    }
    WCHAR* cut = nullptr;
    for (WCHAR* p = dest; *p; ++p) {
        if (*p == u'/') cut = p + 1;
    }
    if (cut == nullptr) {
        dest[0] = 0;
        return false;
    }
    *cut = 0;
    return true;
}

bool PrependModuleDirectory(WCHAR* name) {
    WCHAR directory[MAX_PATH];
    if (!GetModuleDirectory(directory)) return false;
    const int d = lstrlenW(directory);
    const int n = lstrlenW(name);
    if (d + n >= MAX_PATH) return false;
    // The name moves up behind the directory; memmove-like order, back first.
    for (int i = n; i >= 0; --i) name[d + i] = name[i];
    for (int i = 0; i < d; ++i) name[i] = directory[i];
    return true;
}

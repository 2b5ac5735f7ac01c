#include "platform/system/modules.h"

#include "platform/base/crt.h"

#include <cstdint>
#include <iterator>

namespace {

// The libraries whose services the platform provides itself.
constexpr const char16_t* kLibraries[] = {u"htmlview.dll", u"aygshell.dll", u"commctrl.dll", u"coredll.dll"};

HMODULE handle_of(std::size_t index) {
    // Apart from the program's own module handle and from one another.
    return reinterpret_cast<HMODULE>(std::uintptr_t{0x00100000} + (index + 1) * std::uintptr_t{0x10000});
}

}  // namespace

HMODULE LoadLibraryW(LPCWSTR name) {
    if (name != nullptr) {
        LPCWSTR base = name;
        for (LPCWSTR p = name; *p; ++p) {
            if (*p == u'/' || *p == u'\\') base = p + 1;
        }
        for (std::size_t i = 0; i < std::size(kLibraries); ++i) {
            if (lstrcmpiW(base, kLibraries[i]) == 0) return handle_of(i);
        }
    }
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

BOOL FreeLibrary(HMODULE module) {
    for (std::size_t i = 0; i < std::size(kLibraries); ++i) {
        if (module == handle_of(i)) return TRUE;
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

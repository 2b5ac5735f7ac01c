#include "platform/system/modules.h"

#include "platform/base/crt.h"
#include "platform/base/text_convert.h"
#include "platform/system/resources.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace {

std::u16string g_moduleDirectory;

// The program's own file, as the system knows it.
std::u16string program_file() {
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buffer) return {};
    return platform::from_utf8(std::string_view(buffer, static_cast<std::size_t>(n)));
}

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

DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) {
    if (module != nullptr && module != GetModuleHandleW(nullptr)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (fileName == nullptr || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::u16string path = program_file();
    if (path.empty()) {
        fileName[0] = 0;
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    if (!g_moduleDirectory.empty()) {
        std::u16string directory = g_moduleDirectory;
        if (directory.back() != u'/') directory += u'/';
        path = directory + path.substr(path.rfind(u'/') + 1);
    }
    if (path.size() >= size) {
        std::copy(path.begin(), path.begin() + (size - 1), fileName);
        fileName[size - 1] = 0;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::copy(path.begin(), path.end(), fileName);
    fileName[path.size()] = 0;
    return static_cast<DWORD>(path.size());
}

namespace platform {

void set_module_directory(const std::u16string& directory) { g_moduleDirectory = directory; }

}  // namespace platform

#include "platform/system/find_files.h"

#include "platform/base/crt.h"
#include "platform/base/text_convert.h"
#include "platform/base/unicode_text.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace platform {
namespace {

struct FindEntry {
    std::u16string name;
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    std::uint64_t size = 0;
    std::uint64_t writeTime = 0;  // FILETIME steps
};

// The whole listing is read when the enumeration starts, so that its order
// is fixed and files made meanwhile do not upset it.
struct FindObject {
    std::vector<FindEntry> entries;
    std::size_t next = 0;
};

std::unordered_set<FindObject*>& live_finds() {
    static std::unordered_set<FindObject*> finds;
    return finds;
}

FindObject* lookup(HANDLE h) {
    auto* f = static_cast<FindObject*>(h);
    if (h == nullptr || h == INVALID_HANDLE_VALUE || live_finds().count(f) == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return f;
}

// Seconds between 1601-01-01 and 1970-01-01.
constexpr std::uint64_t kEpochDifference = 11644473600ull;

std::uint64_t file_time(const struct timespec& t) {
    if (t.tv_sec < 0) return 0;
    return (static_cast<std::uint64_t>(t.tv_sec) + kEpochDifference) * 10000000ull +
           static_cast<std::uint64_t>(t.tv_nsec) / 100;
}

void fill(const FindEntry& entry, WIN32_FIND_DATAW* out) {
    std::memset(out, 0, sizeof *out);
    out->dwFileAttributes = entry.attributes;
    out->ftLastWriteTime.dwLowDateTime = static_cast<DWORD>(entry.writeTime);
    out->ftLastWriteTime.dwHighDateTime = static_cast<DWORD>(entry.writeTime >> 32);
    out->ftCreationTime = out->ftLastAccessTime = out->ftLastWriteTime;
    out->nFileSizeLow = static_cast<DWORD>(entry.size);
    out->nFileSizeHigh = static_cast<DWORD>(entry.size >> 32);
    // Entries were chosen to fit, terminator included.
    std::copy(entry.name.begin(), entry.name.end(), out->cFileName);
    out->cFileName[entry.name.size()] = 0;
}

// One character on: a surrogate pair is one.
const WCHAR* step(const WCHAR* s) {
    return s[0] >= 0xD800 && s[0] <= 0xDBFF && s[1] >= 0xDC00 && s[1] <= 0xDFFF ? s + 2 : s + 1;
}

bool before(const FindEntry& a, const FindEntry& b) {
    const int folded = lstrcmpiW(a.name.c_str(), b.name.c_str());
    if (folded != 0) return folded < 0;
    return a.name < b.name;
}

}  // namespace

bool matches_pattern(LPCWSTR name, LPCWSTR pattern) {
    if (name == nullptr || pattern == nullptr) return false;
    // "*.*" stands for every name, also one without a dot.
    if (lstrcmpW(pattern, u"*.*") == 0) return true;
    // Both folded, so that HOME.DAB matches *.dab in any script's letters.
    const std::u16string foldedName = fold_case(name);
    const std::u16string foldedPattern = fold_case(pattern);
    const WCHAR* n = foldedName.c_str();
    const WCHAR* p = foldedPattern.c_str();
    const WCHAR* star = nullptr;  // the last '*' met, for backtracking
    const WCHAR* resume = nullptr;
    while (*n) {
        if (*p == u'*') {
            star = p++;
            resume = n;
        } else if (*p == u'?') {
            ++p;
            n = step(n);
        } else if (*p != 0 && *p == *n) {
            ++p;
            ++n;
        } else if (star != nullptr) {
            p = star + 1;
            n = resume = step(resume);
        } else {
            return false;
        }
    }
    while (*p == u'*') ++p;
    return *p == 0;
}

int open_find_count() { return static_cast<int>(live_finds().size()); }

}  // namespace platform

HANDLE FindFirstFileW(LPCWSTR fileName, LPWIN32_FIND_DATAW findData) {
    using namespace platform;
    if (fileName == nullptr || findData == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::u16string whole = fileName;
    const std::size_t slash = whole.rfind(u'/');
    std::u16string directory = slash == std::u16string::npos ? u"." : slash == 0 ? u"/" : whole.substr(0, slash);
    std::u16string pattern = slash == std::u16string::npos ? whole : whole.substr(slash + 1);
    if (pattern.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const std::string dirPath = to_utf8(directory);
    DIR* dir = opendir(dirPath.c_str());
    if (dir == nullptr) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    auto find = std::make_unique<FindObject>();
    while (const dirent* item = readdir(dir)) {
        FindEntry entry;
        entry.name = from_utf8(item->d_name);
        if (entry.name.size() >= MAX_PATH || !matches_pattern(entry.name.c_str(), pattern.c_str())) continue;
        const std::string path = dirPath + "/" + item->d_name;
        struct stat info {};
        // A link that leads nowhere is listed as itself.
        if (stat(path.c_str(), &info) != 0 && lstat(path.c_str(), &info) != 0) continue;
        if (S_ISDIR(info.st_mode)) {
            entry.attributes = FILE_ATTRIBUTE_DIRECTORY;
        } else {
            entry.size = static_cast<std::uint64_t>(info.st_size);
        }
        entry.writeTime = file_time(info.st_mtim);
        find->entries.push_back(std::move(entry));
    }
    closedir(dir);
    if (find->entries.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::sort(find->entries.begin(), find->entries.end(), before);
    fill(find->entries[0], findData);
    find->next = 1;
    FindObject* handle = find.release();
    live_finds().insert(handle);
    return handle;
}

BOOL FindNextFileW(HANDLE handle, LPWIN32_FIND_DATAW findData) {
    platform::FindObject* find = platform::lookup(handle);
    if (find == nullptr) return FALSE;
    if (findData == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (find->next >= find->entries.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    platform::fill(find->entries[find->next++], findData);
    return TRUE;
}

BOOL FindClose(HANDLE handle) {
    platform::FindObject* find = platform::lookup(handle);
    if (find == nullptr) return FALSE;
    platform::live_finds().erase(find);
    delete find;
    return TRUE;
}

#include "platform/system/registry.h"

#include "platform/base/crt.h"
#include "platform/system/registry_file.h"

#include <cstring>
#include <string>
#include <unordered_map>

namespace platform::system {
namespace {

// Open keys by handle; a handle names a path, so a key changed by another
// program is seen as it is at each access.
std::unordered_map<std::uintptr_t, std::u16string>& open_keys() {
    static std::unordered_map<std::uintptr_t, std::u16string> table;
    return table;
}

std::uintptr_t id_of(HKEY key) { return reinterpret_cast<std::uintptr_t>(key); }

HKEY allocate(std::u16string path) {
    // Handles are never reused, so a closed one is refused, not mistaken.
    static std::uintptr_t serial = 0;
    const std::uintptr_t id = ++serial << 4;
    open_keys().emplace(id, std::move(path));
    return reinterpret_cast<HKEY>(id);
}

// The path a handle stands for; false for an unknown handle.
bool path_of(HKEY key, std::u16string& path) {
    if (key == HKEY_CURRENT_USER) {
        path.clear();
        return true;
    }
    auto it = open_keys().find(id_of(key));
    if (it == open_keys().end()) return false;
    path = it->second;
    return true;
}

// The path of subKey below base; false when it is not an acceptable path.
bool join(const std::u16string& base, LPCWSTR subKey, std::u16string& out) {
    const std::u16string_view sub = subKey ? std::u16string_view(subKey) : std::u16string_view();
    out = base;
    if (!sub.empty()) {
        if (!out.empty()) out += u'\\';
        out += sub;
    }
    return valid_key_path(sub) && valid_key_path(out);
}

std::u16string_view name_of(LPCWSTR name) { return name ? std::u16string_view(name) : std::u16string_view(); }

// Hands a value's type and bytes out the way RegQueryValueExW does.
LONG give_value(const RegistryValue& value, LPDWORD type, LPBYTE data, LPDWORD size) {
    if (type) *type = value.type;
    const auto needed = static_cast<DWORD>(value.data.size());
    if (data == nullptr) {
        if (size) *size = needed;
        return ERROR_SUCCESS;
    }
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (needed > 0) std::memcpy(data, value.data.data(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

}  // namespace
}  // namespace platform::system

using namespace platform::system;

LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY result,
                     LPDWORD disposition) {
    if (result == nullptr || subKey == nullptr) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::u16string base;
    if (!path_of(key, base)) return ERROR_INVALID_HANDLE;
    std::u16string path;
    if (!join(base, subKey, path)) return ERROR_BAD_PATHNAME;
    bool created = false;
    const LONG status = change_registry([&](RegistryData& data, bool& changed) {
        created = changed = data.ensure_key(path);
        return ERROR_SUCCESS;
    });
    if (status != ERROR_SUCCESS) return status;
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = allocate(std::move(path));
    return ERROR_SUCCESS;
}

LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM, PHKEY result) {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::u16string base;
    if (!path_of(key, base)) return ERROR_INVALID_HANDLE;
    std::u16string path;
    if (!join(base, subKey, path)) return ERROR_BAD_PATHNAME;
    const StoreRead store = read_registry();
    if (store.unreadable) return ERROR_BADDB;
    if (store.data->find_key(path) == nullptr) return ERROR_FILE_NOT_FOUND;
    *result = allocate(std::move(path));
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    if (key == HKEY_CURRENT_USER) return ERROR_SUCCESS;
    return open_keys().erase(id_of(key)) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size) {
    if (reserved != nullptr || (data != nullptr && size == nullptr)) return ERROR_INVALID_PARAMETER;
    std::u16string path;
    if (!path_of(key, path)) return ERROR_INVALID_HANDLE;
    const StoreRead store = read_registry();
    if (store.unreadable) return ERROR_BADDB;
    const RegistryKey* found = store.data->find_key(path);
    const RegistryValue* value = found ? RegistryData::find_value(*found, name_of(name)) : nullptr;
    if (value == nullptr) return ERROR_FILE_NOT_FOUND;
    return give_value(*value, type, data, size);
}

LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) {
    if ((data == nullptr && size != 0) || size > kMaxValueBytes) return ERROR_INVALID_PARAMETER;
    const std::u16string_view valueName = name_of(name);
    if (valueName.size() > kMaxValueNameLength) return ERROR_INVALID_PARAMETER;
    std::u16string path;
    if (!path_of(key, path)) return ERROR_INVALID_HANDLE;
    return change_registry([&](RegistryData& store, bool& changed) {
        // A key removed by another program since it was opened comes back.
        changed = store.ensure_key(path);
        changed = RegistryData::set_value(*store.find_key(path), valueName, type, data, size) || changed;
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteValueW(HKEY key, LPCWSTR name) {
    std::u16string path;
    if (!path_of(key, path)) return ERROR_INVALID_HANDLE;
    return change_registry([&](RegistryData& store, bool& changed) {
        RegistryKey* found = store.find_key(path);
        changed = found != nullptr && RegistryData::delete_value(*found, name_of(name));
        return changed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

LONG RegEnumValueW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD reserved, LPDWORD type,
                   LPBYTE data, LPDWORD size) {
    if (name == nullptr || nameLength == nullptr || reserved != nullptr || (data != nullptr && size == nullptr))
        return ERROR_INVALID_PARAMETER;
    std::u16string path;
    if (!path_of(key, path)) return ERROR_INVALID_HANDLE;
    const StoreRead store = read_registry();
    if (store.unreadable) return ERROR_BADDB;
    const RegistryKey* found = store.data->find_key(path);
    if (found == nullptr || index >= found->values.size()) return ERROR_NO_MORE_ITEMS;
    const RegistryValue& value = found->values[index];
    if (*nameLength <= value.name.size()) return ERROR_MORE_DATA;
    std::copy(value.name.begin(), value.name.end(), name);
    name[value.name.size()] = 0;
    *nameLength = static_cast<DWORD>(value.name.size());
    return give_value(value, type, data, size);
}

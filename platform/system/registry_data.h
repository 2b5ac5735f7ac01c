// Platform internal: the contents of the per-user settings store (keys by
// backslash path, values by name, each a type and bytes) and its text form.
// Key and value names compare without regard to case and keep the case they
// were first written with.
//
// The text form is UTF-8, one item a line:
//
//     Mapfolio settings 1
//     [HKEY_CURRENT_USER\Software\Tarnwick\Mapfolio]
//     "Harbour Find Category"=sz:"Tower"
//     "Counter"=dword:0000002a
//     "Blob"=hex(3):01,ff,00
//
// The first line names the format. A key line holds the key's whole path;
// every key is listed, ancestors included, each before its own values.
// Quoted text escapes '"' and '\' with a backslash, and control characters
// and unpaired surrogates as \uXXXX; the rest is written as UTF-8. A value
// is sz when it is a REG_SZ of whole units ending in its only zero unit,
// dword when it is a REG_DWORD of four bytes, and hex(TYPE) otherwise, so any
// bytes of any type come back exactly. Blank lines and lines starting with
// ';' are ignored.
#pragma once

#include "platform/base/win32_types.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform::system {

inline constexpr std::size_t kMaxKeyNameLength = 255;      // one component, in units
inline constexpr std::size_t kMaxKeyPathLength = 4096;     // a whole path, in units
inline constexpr std::size_t kMaxValueNameLength = 16383;  // in units
inline constexpr std::size_t kMaxValueBytes = 1u << 20;
inline constexpr std::size_t kMaxStoreBytes = 16u << 20;  // the text form

struct RegistryValue {
    std::u16string name;
    DWORD type = 0;
    std::vector<std::uint8_t> data;

    bool operator==(const RegistryValue&) const = default;
};

struct RegistryKey {
    std::u16string path;  // below HKEY_CURRENT_USER; empty for the root itself
    std::vector<RegistryValue> values;  // in the order they were first set
    // Each value's place in values by its folded name, kept by RegistryData,
    // so that finding a value does not grow with the number of values.
    std::unordered_map<std::u16string, std::size_t> places;

    bool operator==(const RegistryKey& other) const { return path == other.path && values == other.values; }
};

// Whether a sub-key path is acceptable: components separated by single
// backslashes, none empty, none longer than kMaxKeyNameLength, no control
// characters and no unpaired surrogates, at most kMaxKeyPathLength in all.
// The empty path is the root.
bool valid_key_path(std::u16string_view path);

class RegistryData {
public:
    // The root key always exists.
    RegistryData();

    const RegistryKey* find_key(std::u16string_view path) const;
    RegistryKey* find_key(std::u16string_view path);
    // Creates the key and its missing ancestors; true when anything was made.
    // The path must be valid.
    bool ensure_key(std::u16string_view path);

    static const RegistryValue* find_value(const RegistryKey& key, std::u16string_view name);
    // Replaces the value whole, keeping its place; a new value goes last.
    // True when anything changed.
    static bool set_value(RegistryKey& key, std::u16string_view name, DWORD type, const std::uint8_t* data,
                          std::size_t size);
    // True when the value existed.
    static bool delete_value(RegistryKey& key, std::u16string_view name);

    const std::vector<RegistryKey>& keys() const { return m_keys; }
    // The number of values in all keys.
    std::size_t value_count() const;

    std::string to_text() const;
    // Nothing for text that breaks any rule of the form: an unknown header,
    // a malformed line, a value before the first key, a key or value given
    // twice, invalid UTF-8 or escapes, or more than kMaxStoreBytes. The
    // error says which line.
    static std::optional<RegistryData> parse(std::string_view text, std::string* error = nullptr);

    bool operator==(const RegistryData& other) const { return m_keys == other.m_keys; }

private:
    std::vector<RegistryKey> m_keys;  // the root first, then in creation order
    std::unordered_map<std::u16string, std::size_t> m_places;  // folded path -> place in m_keys
};

}  // namespace platform::system

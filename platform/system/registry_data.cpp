#include "platform/system/registry_data.h"

#include "platform/base/text_convert.h"
#include "platform/base/unicode_text.h"
#include "platform/system/registry.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

namespace platform::system {
namespace {

constexpr std::string_view kHeader = "Mapfolio settings 1";
constexpr std::string_view kRootName = "HKEY_CURRENT_USER";

bool is_high_surrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool is_low_surrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Appends a code point as UTF-8.
void put_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one well-formed UTF-8 sequence at text[at] (a lead byte of 0x80 or
// more): no overlong forms, no surrogates, nothing past U+10FFFF. Returns the
// bytes used, or 0 when the sequence is not well formed.
std::size_t take_utf8(std::string_view text, std::size_t at, char32_t& cp) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    char32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, cp = lead & 0x1F, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, cp = lead & 0x0F, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, cp = lead & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - at < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char b = byte(at + i);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return length;
}

void put_unit_escape(std::string& out, char16_t u) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(u));
    out += buffer;
}

// Text in double quotes, escaped so that any units come back.
void put_quoted(std::string& out, std::u16string_view text) {
    out += '"';
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (u == u'"' || u == u'\\') {
            out += '\\';
            out += static_cast<char>(u);
        } else if (u < 0x20 || (u >= 0x7F && u < 0xA0)) {
            put_unit_escape(out, u);
        } else if (is_high_surrogate(u) && i + 1 < text.size() && is_low_surrogate(text[i + 1])) {
            put_utf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (is_high_surrogate(u) || is_low_surrogate(u)) {
            put_unit_escape(out, u);
        } else {
            put_utf8(out, u);
        }
    }
    out += '"';
}

void put_hex_byte(std::string& out, std::uint8_t b) {
    constexpr char kDigits[] = "0123456789abcdef";
    out += kDigits[b >> 4];
    out += kDigits[b & 0xF];
}

// A REG_SZ written as text: whole units, ending in the only zero unit.
bool plain_string(const RegistryValue& value) {
    const auto& d = value.data;
    if (value.type != REG_SZ || d.size() < 2 || d.size() % 2 != 0) return false;
    const std::size_t units = d.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        const bool zero = d[2 * i] == 0 && d[2 * i + 1] == 0;
        if (zero != (i == units - 1)) return false;
    }
    return true;
}

std::u16string units_of(const std::vector<std::uint8_t>& d, std::size_t count) {
    std::u16string text(count, u'\0');
    for (std::size_t i = 0; i < count; ++i) text[i] = static_cast<char16_t>(d[2 * i] | (d[2 * i + 1] << 8));
    return text;
}

void put_value(std::string& out, const RegistryValue& value) {
    put_quoted(out, value.name);
    out += '=';
    if (plain_string(value)) {
        out += "sz:";
        put_quoted(out, units_of(value.data, value.data.size() / 2 - 1));
    } else if (value.type == REG_DWORD && value.data.size() == 4) {
        out += "dword:";
        for (int i = 3; i >= 0; --i) put_hex_byte(out, value.data[i]);
    } else {
        out += "hex(" + std::to_string(value.type) + "):";
        for (std::size_t i = 0; i < value.data.size(); ++i) {
            if (i > 0) out += ',';
            put_hex_byte(out, value.data[i]);
        }
    }
    out += '\n';
}

std::string key_line(const RegistryKey& key) {
    std::string line = "[" + std::string(kRootName);
    if (!key.path.empty()) {
        line += '\\';
        for (std::size_t i = 0; i < key.path.size(); ++i) {
            const char16_t u = key.path[i];
            if (is_high_surrogate(u) && i + 1 < key.path.size()) {
                put_utf8(line, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (key.path[i + 1] - 0xDC00));
                ++i;
            } else {
                put_utf8(line, u);
            }
        }
    }
    return line + "]\n";
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads a quoted text starting at line[at] == '"'; at ends after the closing
// quote. Zero units are refused: names and strings of this form hold none.
bool take_quoted(std::string_view line, std::size_t& at, std::u16string& out) {
    if (at >= line.size() || line[at] != '"') return false;
    ++at;
    while (at < line.size()) {
        const unsigned char c = static_cast<unsigned char>(line[at]);
        if (c == '"') {
            ++at;
            return true;
        }
        if (c == '\\') {
            if (at + 1 >= line.size()) return false;
            const char next = line[at + 1];
            if (next == '"' || next == '\\') {
                out += static_cast<char16_t>(next);
                at += 2;
                continue;
            }
            if (next != 'u' || line.size() - at < 6) return false;
            unsigned unit = 0;
            for (std::size_t i = 0; i < 4; ++i) {
                const int d = hex_digit(line[at + 2 + i]);
                if (d < 0) return false;
                unit = unit * 16 + static_cast<unsigned>(d);
            }
            if (unit == 0) return false;
            out += static_cast<char16_t>(unit);
            at += 6;
            continue;
        }
        if (c < 0x20 || c == 0x7F) return false;
        if (c < 0x80) {
            out += static_cast<char16_t>(c);
            ++at;
            continue;
        }
        char32_t cp = 0;
        const std::size_t used = take_utf8(line, at, cp);
        if (used == 0) return false;
        append_utf16(out, cp);
        at += used;
    }
    return false;
}

// Raw UTF-8 of a key path (the part after the root's name).
bool decode_path(std::string_view text, std::u16string& out) {
    for (std::size_t at = 0; at < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (c < 0x80) {
            out += static_cast<char16_t>(c);
            ++at;
            continue;
        }
        char32_t cp = 0;
        const std::size_t used = take_utf8(text, at, cp);
        if (used == 0) return false;
        append_utf16(out, cp);
        at += used;
    }
    return true;
}

bool take_hex_bytes(std::string_view text, std::vector<std::uint8_t>& out) {
    if (text.empty()) return true;
    // "xx" then ",xx" for each further byte.
    if ((text.size() + 1) % 3 != 0 || (text.size() + 1) / 3 > kMaxValueBytes) return false;
    out.reserve((text.size() + 1) / 3);
    for (std::size_t at = 0; at < text.size(); at += 3) {
        const int hi = hex_digit(text[at]);
        const int lo = hex_digit(text[at + 1]);
        if (hi < 0 || lo < 0) return false;
        if (at + 2 < text.size() && text[at + 2] != ',') return false;
        out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return true;
}

bool take_decimal(std::string_view text, DWORD& out) {
    if (text.empty() || text.size() > 10) return false;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > 0xFFFFFFFFu) return false;
    out = static_cast<DWORD>(value);
    return true;
}

// The kind and data after "NAME=".
bool take_data(std::string_view rest, RegistryValue& value) {
    if (rest.starts_with("sz:")) {
        std::size_t at = 3;
        std::u16string text;
        if (!take_quoted(rest, at, text) || at != rest.size()) return false;
        if (text.size() >= kMaxValueBytes / 2) return false;
        value.type = REG_SZ;
        for (char16_t u : text) {
            value.data.push_back(static_cast<std::uint8_t>(u & 0xFF));
            value.data.push_back(static_cast<std::uint8_t>(u >> 8));
        }
        value.data.push_back(0);
        value.data.push_back(0);
        return true;
    }
    if (rest.starts_with("dword:")) {
        const std::string_view digits = rest.substr(6);
        if (digits.size() != 8) return false;
        std::uint32_t number = 0;
        for (char c : digits) {
            const int d = hex_digit(c);
            if (d < 0) return false;
            number = number * 16 + static_cast<unsigned>(d);
        }
        value.type = REG_DWORD;
        for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<std::uint8_t>(number >> (8 * i)));
        return true;
    }
    if (rest.starts_with("hex(")) {
        const std::size_t close = rest.find("):");
        if (close == std::string_view::npos) return false;
        return take_decimal(rest.substr(4, close - 4), value.type) && take_hex_bytes(rest.substr(close + 2), value.data);
    }
    return false;
}

std::u16string folded(std::u16string_view text) { return fold_case(text); }

}  // namespace

bool valid_key_path(std::u16string_view path) {
    if (path.empty()) return true;
    if (path.size() > kMaxKeyPathLength) return false;
    std::size_t length = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char16_t u = path[i];
        if (u == u'\\') {
            if (length == 0) return false;
            length = 0;
            continue;
        }
        if (u < 0x20 || u == 0x7F) return false;
        if (is_high_surrogate(u)) {
            if (i + 1 >= path.size() || !is_low_surrogate(path[i + 1])) return false;
            ++i;
            length += 2;
        } else if (is_low_surrogate(u)) {
            return false;
        } else {
            ++length;
        }
        if (length > kMaxKeyNameLength) return false;
    }
    return length > 0;
}

RegistryData::RegistryData() {
    m_keys.push_back(RegistryKey{});
    m_places.emplace(std::u16string(), 0);
}

std::size_t RegistryData::value_count() const {
    std::size_t count = 0;
    for (const RegistryKey& key : m_keys) count += key.values.size();
    return count;
}

const RegistryKey* RegistryData::find_key(std::u16string_view path) const {
    const auto it = m_places.find(folded(path));
    return it == m_places.end() ? nullptr : &m_keys[it->second];
}

RegistryKey* RegistryData::find_key(std::u16string_view path) {
    return const_cast<RegistryKey*>(static_cast<const RegistryData*>(this)->find_key(path));
}

bool RegistryData::ensure_key(std::u16string_view path) {
    if (find_key(path) != nullptr) return false;
    const std::size_t cut = path.rfind(u'\\');
    if (cut != std::u16string_view::npos) ensure_key(path.substr(0, cut));
    m_places.emplace(folded(path), m_keys.size());
    m_keys.push_back(RegistryKey{std::u16string(path), {}, {}});
    return true;
}

const RegistryValue* RegistryData::find_value(const RegistryKey& key, std::u16string_view name) {
    const auto it = key.places.find(folded(name));
    return it == key.places.end() ? nullptr : &key.values[it->second];
}

bool RegistryData::set_value(RegistryKey& key, std::u16string_view name, DWORD type, const std::uint8_t* data,
                             std::size_t size) {
    RegistryValue fresh{std::u16string(name), type, std::vector<std::uint8_t>(data, data + size)};
    const auto [it, added] = key.places.emplace(folded(name), key.values.size());
    if (added) {
        key.values.push_back(std::move(fresh));
        return true;
    }
    RegistryValue& value = key.values[it->second];
    // The name keeps the case it was first written with.
    fresh.name = value.name;
    if (value == fresh) return false;
    value = std::move(fresh);
    return true;
}

bool RegistryData::delete_value(RegistryKey& key, std::u16string_view name) {
    const auto it = key.places.find(folded(name));
    if (it == key.places.end()) return false;
    const std::size_t place = it->second;
    key.places.erase(it);
    key.values.erase(key.values.begin() + static_cast<std::ptrdiff_t>(place));
    for (auto& [_, at] : key.places) {
        if (at > place) --at;
    }
    return true;
}

std::string RegistryData::to_text() const {
    std::string out(kHeader);
    out += '\n';
    for (const RegistryKey& key : m_keys) {
        out += '\n';
        out += key_line(key);
        for (const RegistryValue& value : key.values) put_value(out, value);
    }
    return out;
}

std::optional<RegistryData> RegistryData::parse(std::string_view text, std::string* error) {
    auto fail = [error](std::size_t line, const char* why) -> std::optional<RegistryData> {
        if (error) *error = "line " + std::to_string(line) + ": " + why;
        return std::nullopt;
    };
    if (text.size() > kMaxStoreBytes) return fail(0, "the store is too large");
    RegistryData data;
    std::unordered_set<std::u16string> listed;  // folded paths of the key lines met
    RegistryKey* current = nullptr;
    std::size_t number = 0;
    bool headerSeen = false;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!headerSeen) {
            if (line != kHeader) return fail(number, "not a settings store of this format");
            headerSeen = true;
            continue;
        }
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            if (line.back() != ']' || line.size() < 2) return fail(number, "a key line must end in ']'");
            std::string_view inside = line.substr(1, line.size() - 2);
            if (!inside.starts_with(kRootName)) return fail(number, "a key must be under HKEY_CURRENT_USER");
            inside.remove_prefix(kRootName.size());
            std::u16string path;
            if (!inside.empty()) {
                if (inside.front() != '\\') return fail(number, "a key must be under HKEY_CURRENT_USER");
                if (!decode_path(inside.substr(1), path) || path.empty() || !valid_key_path(path))
                    return fail(number, "a key path that is not allowed");
            }
            if (!listed.insert(folded(path)).second) return fail(number, "a key given twice");
            data.ensure_key(path);
            current = data.find_key(path);
            continue;
        }
        if (line.front() != '"') return fail(number, "neither a key nor a value");
        if (current == nullptr) return fail(number, "a value before the first key");
        RegistryValue value;
        std::size_t at = 0;
        if (!take_quoted(line, at, value.name) || value.name.size() > kMaxValueNameLength)
            return fail(number, "a malformed value name");
        if (at >= line.size() || line[at] != '=') return fail(number, "'=' must follow the value name");
        if (!take_data(line.substr(at + 1), value)) return fail(number, "malformed value data");
        if (!current->places.emplace(folded(value.name), current->values.size()).second)
            return fail(number, "a value given twice");
        current->values.push_back(std::move(value));
    }
    if (!headerSeen) return fail(1, "not a settings store of this format");
    return data;
}

}  // namespace platform::system

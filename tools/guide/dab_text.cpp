#include "tools/guide/dab_text.h"

#include "platform/base/text_convert.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

constexpr std::u16string_view kTags[] = {u"<Mapfolio Version>", u"<Name>", u"<Information>", u"<Locations>",
                                         u"<Related Maps>", u"<Links>", u"<Images>", u"<Background Images>"};

// The width of a code unit in the file.
std::size_t unit_bytes(std::int32_t encoding) { return encoding == Utf16LE || encoding == Utf16BE ? 2 : 1; }

char16_t unit_at(const std::string& s, std::size_t i, std::int32_t encoding) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (unit_bytes(encoding) == 1) return b0;
    const auto b1 = static_cast<unsigned char>(s[i + 1]);
    return static_cast<char16_t>(encoding == Utf16LE ? (b1 << 8 | b0) : (b0 << 8 | b1));
}

}  // namespace

DabText::DabText() : m_mark("\xEF\xBB\xBF") {}

bool DabText::load(const std::string& path, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read " + path;
        return false;
    }
    const std::string data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    m_lines.clear();
    m_mark.clear();
    m_encoding = Ansi1252;
    if (data.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        m_encoding = Utf8;
    } else if (data.compare(0, 2, "\xFF\xFE") == 0) {
        m_encoding = Utf16LE;
    } else if (data.compare(0, 2, "\xFE\xFF") == 0) {
        m_encoding = Utf16BE;
    }
    m_mark = data.substr(0, m_encoding == Utf8 ? 3 : m_encoding == Ansi1252 ? 0 : 2);
    const std::size_t w = unit_bytes(m_encoding);
    std::size_t start = m_mark.size();
    std::size_t i = start;
    while (i + w <= data.size()) {
        const char16_t u = unit_at(data, i, m_encoding);
        i += w;
        if (u != u'\r' && u != u'\n') continue;
        if (u == u'\r' && i + w <= data.size() && unit_at(data, i, m_encoding) == u'\n') i += w;
        m_lines.push_back(data.substr(start, i - start));
        start = i;
    }
    if (start < data.size()) m_lines.push_back(data.substr(start));
    return true;
}

std::u16string DabText::line(std::size_t i) const {
    const std::string& raw = m_lines[i];
    const std::size_t w = unit_bytes(m_encoding);
    std::size_t n = raw.size() / w * w;
    while (n >= w && (unit_at(raw, n - w, m_encoding) == u'\r' || unit_at(raw, n - w, m_encoding) == u'\n')) n -= w;
    if (m_encoding == Utf8) return platform::from_utf8(std::string_view(raw).substr(0, n));
    std::u16string text;
    for (std::size_t at = 0; at < n; at += w) {
        const char16_t u = unit_at(raw, at, m_encoding);
        text.push_back(m_encoding == Ansi1252 ? platform::cp1252_to_unit(static_cast<BYTE>(u)) : u);
    }
    return text;
}

std::optional<std::string> DabText::encode(std::u16string_view text) const {
    std::string out;
    switch (m_encoding) {
        case Utf8: return platform::to_utf8(text);
        case Utf16LE:
        case Utf16BE:
            for (char16_t u : text) {
                const char lo = static_cast<char>(u & 0xFF);
                const char hi = static_cast<char>(u >> 8);
                out += m_encoding == Utf16LE ? std::string{lo, hi} : std::string{hi, lo};
            }
            return out;
        default: {
            // One byte a unit, where Windows-1252 has the character at all.
            if (text.empty()) return out;
            out.resize(text.size());
            BOOL lost = FALSE;
            WideCharToMultiByte(1252, 0, text.data(), static_cast<int>(text.size()), out.data(),
                                static_cast<int>(out.size()), nullptr, &lost);
            if (lost) return std::nullopt;
            return out;
        }
    }
}

bool DabText::replace(std::size_t first, std::size_t count, const std::vector<std::u16string>& lines) {
    std::vector<std::string> encoded;
    for (const std::u16string& l : lines) {
        std::optional<std::string> e = encode(l + u"\r\n");
        if (!e) return false;
        encoded.push_back(std::move(*e));
    }
    // A last line without an end gets one before anything follows it.
    if (first == m_lines.size() && first > 0 && !encoded.empty()) {
        std::string& last = m_lines.back();
        const std::size_t w = unit_bytes(m_encoding);
        if (last.size() < w || (unit_at(last, last.size() / w * w - w, m_encoding) != u'\n' &&
                                unit_at(last, last.size() / w * w - w, m_encoding) != u'\r')) {
            last += *encode(u"\r\n");
        }
    }
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(first),
                  m_lines.begin() + static_cast<std::ptrdiff_t>(first + count));
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(first), encoded.begin(), encoded.end());
    return true;
}

std::string DabText::bytes() const {
    std::string out = m_mark;
    for (const std::string& l : m_lines) out += l;
    return out;
}

std::optional<std::vector<DabBlock>> find_blocks(const DabText& text, std::u16string_view tag,
                                                 std::u16string_view endLine) {
    const bool named = tag == u"<Locations>" || tag == u"<Links>";
    std::vector<DabBlock> blocks;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!text.line(i).starts_with(tag)) continue;
        DabBlock block{i, i + 1, i + 1 + named};
        while (block.end < text.size() && text.line(block.end) != endLine) ++block.end;
        if (block.end >= text.size()) return std::nullopt;
        blocks.push_back(block);
        i = block.end;
    }
    return blocks;
}

std::vector<DabBlock> find_topics(const DabText& text) {
    std::vector<DabBlock> blocks;
    for (std::size_t i = 0; i + 2 < text.size(); ++i) {
        if (!text.line(i).starts_with(u"<Information>")) continue;
        blocks.push_back({i, i + 1, i + 3});
        i += 2;
    }
    return blocks;
}

std::vector<std::u16string> split_fields(std::u16string_view line) {
    std::vector<std::u16string> fields;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t comma = std::min(line.find(u',', at), line.size());
        if (comma > at) fields.emplace_back(line.substr(at, comma - at));
        at = comma + 1;
    }
    return fields;
}

bool starts_with_tag(std::u16string_view text) {
    for (std::u16string_view tag : kTags) {
        if (text.starts_with(tag)) return true;
    }
    return false;
}

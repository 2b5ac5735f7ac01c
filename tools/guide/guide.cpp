#include "tools/guide/guide.h"

#include "mapdb/map.h"
#include "tools/atomic_write.h"
#include "tools/guide_check.h"
#include "tools/twk_header.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

bool same_file_name(const std::string& a, const std::string& b) {
    return lstrcmpiW(utf16(a).c_str(), utf16(b).c_str()) == 0;
}

}  // namespace

std::string utf8(std::u16string_view text) { return platform::to_utf8(text); }
std::u16string utf16(std::string_view text) { return platform::from_utf8(text); }

Guide::Guide(const std::string& dir) : m_dir(dir) {
    while (m_dir.size() > 1 && m_dir.back() == '/') m_dir.pop_back();
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(m_dir, ec)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file() || !is_dab_name(name)) continue;
        m_files.push_back(name);
        CMap map;
        map.Open(utf16(path(name)).c_str());
        if (map.dataLoaded) m_maps.push_back({name, map.MapName(), utf8(map.imageName)});
        map.Close();
    }
    std::sort(m_maps.begin(), m_maps.end(), [](const GuideMap& a, const GuideMap& b) { return a.file < b.file; });
}

bool Guide::has_file(const std::string& file) const {
    return std::any_of(m_files.begin(), m_files.end(), [&](const std::string& f) { return same_file_name(f, file); });
}

const GuideMap& Guide::find(const std::string& text) const {
    for (const GuideMap& m : m_maps) {
        if (m.name == utf16(text)) return m;
    }
    for (const GuideMap& m : m_maps) {
        if (same_file_name(m.file, text)) return m;
    }
    std::string known;
    for (const GuideMap& m : m_maps) known += (known.empty() ? "" : ", ") + utf8(m.name) + " (" + m.file + ")";
    throw GuideError("no map \"" + text + "\" in " + m_dir + (known.empty() ? ", which has no maps" : "; its maps: " + known));
}

DabText Guide::read(const GuideMap& map) const {
    DabText text;
    std::string error;
    if (!text.load(path(map.file), &error)) throw GuideError(error);
    return text;
}

std::pair<int, int> Guide::image_size(const GuideMap& map) const {
    std::optional<TwkHeader> header = read_twk_header_file(path(map.image));
    if (!header || header->width == 0 || header->height == 0) {
        throw GuideError("the image of \"" + utf8(map.name) + "\", " + map.image + ", cannot be read");
    }
    return {header->width, header->height};
}

std::unique_ptr<MapGeoref> Guide::georef(const GuideMap& map) const {
    std::string error;
    std::unique_ptr<MapGeoref> g = MapGeoref::load(path(map.image), &error);
    if (g) return g;
    if (!error.empty()) throw GuideError("the georeference of \"" + utf8(map.name) + "\": " + error);
    throw GuideError("\"" + utf8(map.name) + "\" has no georeference: run mapfolio-guide georef " + m_dir + " \"" +
                     utf8(map.name) + "\" --point PX,PY,LON,LAT (three or more) first");
}

void Guide::commit(const std::string& summary) {
    std::error_code ec;
    const bool created = !fs::exists(m_dir, ec) && fs::create_directories(m_dir, ec);
    if (ec) throw GuideError("cannot make the guide directory " + m_dir + ": " + ec.message());
    std::vector<std::pair<std::string, std::string>> temporaries;  // final name, temporary path
    auto discard = [&] {
        for (const auto& t : temporaries) unlink(t.second.c_str());
        if (created) fs::remove(m_dir, ec);
    };
    try {
        for (const auto& [file, bytes] : m_staged) {
            std::string temporary = write_temporary(path(file), bytes);
            if (temporary.empty()) throw GuideError("cannot write " + path(file));
            temporaries.emplace_back(file, std::move(temporary));
        }
    } catch (const GuideError&) {
        discard();
        throw;
    }
    std::map<std::string, std::string> databases;
    for (const auto& [file, temporary] : temporaries) {
        if (is_dab_name(file)) databases[file] = temporary;
    }
    CheckReport report;
    check_guide(m_dir, &report, databases);
    for (const auto& [file, temporary] : databases) {
        if (report.failed_on(path(file))) {
            discard();
            report.print(stderr);
            throw GuideError(file + " as written would not load; the guide is unchanged");
        }
    }
    // Databases last, so that no database names an image that is not there yet.
    std::stable_partition(temporaries.begin(), temporaries.end(), [](const auto& t) { return !is_dab_name(t.first); });
    for (const auto& [file, temporary] : temporaries) {
        if (std::rename(temporary.c_str(), path(file).c_str()) != 0) {
            discard();
            throw GuideError("cannot rename " + temporary + " to " + path(file));
        }
    }
    sync_directory(m_dir);
    m_staged.clear();
    std::printf("%scheck of %s:\n", summary.c_str(), m_dir.c_str());
    report.print(stdout);
}

std::u16string html_escape(std::u16string_view text) {
    std::u16string out;
    for (char16_t c : text) {
        switch (c) {
            case u'&': out += u"&amp;"; break;
            case u'<': out += u"&lt;"; break;
            case u'>': out += u"&gt;"; break;
            case u'"': out += u"&quot;"; break;
            default: out.push_back(c);
        }
    }
    return out;
}

std::u16string markup_escape(std::u16string_view text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const char16_t next = i + 1 < text.size() ? text[i + 1] : u' ';
        const bool reference = (next >= u'a' && next <= u'z') || (next >= u'A' && next <= u'Z') ||
                               (next >= u'0' && next <= u'9') || next == u'#';
        if (c == u'<') out += u"&lt;";
        else if (c == u'&' && reference) out += u"&amp;";
        else out.push_back(c);
    }
    return out;
}

std::u16string place_field(std::u16string_view text, int* commas) {
    std::u16string plain;
    for (char16_t c : text) {
        if (c == u',') {
            ++*commas;
            c = u'\u201A';
        } else if (c < u' ') {
            c = u' ';
        }
        plain.push_back(c);
    }
    const std::size_t first = plain.find_first_not_of(u' ');
    if (first == std::u16string::npos) return {};
    plain = plain.substr(first, plain.find_last_not_of(u' ') - first + 1);
    return markup_escape(plain);
}

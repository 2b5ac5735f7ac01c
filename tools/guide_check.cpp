#include "tools/guide_check.h"

#include "mapdb/map.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>

namespace fs = std::filesystem;

namespace {

std::string utf8(LPCWSTR text) { return text ? platform::to_utf8(text) : std::string(); }

bool same_name(const std::string& a, const std::u16string& b) {
    return lstrcmpiW(platform::from_utf8(a).c_str(), b.c_str()) == 0;
}

struct Checked {
    std::string shown;  // the path as reported
    std::string name;   // file name without directory
    std::unique_ptr<CMap> map;
};

// Parses one database read from path and reports it as shown; keeps the
// map when it loaded.
Checked check_file(const std::string& shown, const std::string& path, CheckReport* report) {
    Checked result{shown, fs::path(shown).filename().string(), std::make_unique<CMap>()};
    std::u16string wide = platform::from_utf8(path);
    int failedLine = 0;
    result.map->Open(wide.c_str(), &failedLine);
    if (result.map->dataLoaded) {
        report->lines.push_back({true, shown, utf8(result.map->MapName())});
    } else {
        std::string why = utf8(result.map->errorText);
        if (failedLine > 0) why = "line " + std::to_string(failedLine) + ": " + why;
        report->lines.push_back({false, shown, why});
        result.map.reset();
    }
    return result;
}

}  // namespace

bool is_dab_name(const std::string& name) {
    std::u16string wide = platform::from_utf8(name);
    return wide.size() > 4 && lstrcmpiW(wide.c_str() + wide.size() - 4, u".DAB") == 0;
}

bool CheckReport::failed() const {
    return std::any_of(lines.begin(), lines.end(), [](const CheckLine& l) { return !l.ok; });
}

bool CheckReport::failed_on(const std::string& subject) const {
    return std::any_of(lines.begin(), lines.end(), [&](const CheckLine& l) { return !l.ok && l.subject == subject; });
}

void CheckReport::print(std::FILE* out) const {
    for (const CheckLine& l : lines) std::fprintf(out, "%s %s: %s\n", l.ok ? "OK" : "FAIL", l.subject.c_str(), l.text.c_str());
}

void check_database(const std::string& path, CheckReport* report) {
    Checked c = check_file(path, path, report);
    if (c.map) c.map->Close();
}

void check_guide(const std::string& dir, CheckReport* report, const std::map<std::string, std::string>& staged) {
    std::map<std::string, std::string> files;  // shown -> read from
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && is_dab_name(name)) files[entry.path().string()] = entry.path().string();
    }
    if (ec) {
        report->lines.push_back({false, dir, ec.message()});
        return;
    }
    for (const auto& [name, from] : staged) files[(fs::path(dir) / name).string()] = from;
    std::vector<Checked> loaded;
    for (const auto& [shown, from] : files) {
        Checked c = check_file(shown, from, report);
        if (c.map) loaded.push_back(std::move(c));
    }
    if (loaded.size() > 100) {
        report->lines.push_back(
            {false, dir, std::to_string(loaded.size()) + " databases load, the program takes only 100"});
    }
    for (const char16_t* special : {u"HOME.DAB", u"MAIN.DAB"}) {
        const std::string name = platform::to_utf8(special);
        const bool present = std::any_of(files.begin(), files.end(),
                                         [&](const auto& f) { return same_name(fs::path(f.first).filename().string(), special); });
        const bool loads = std::any_of(loaded.begin(), loaded.end(), [&](const Checked& c) { return same_name(c.name, special); });
        if (loads) {
            report->lines.push_back({true, dir, name + " present and loads"});
        } else {
            report->lines.push_back({false, dir, name + (present ? " does not load" : " is missing")});
        }
    }
    std::set<std::u16string> names;
    for (const Checked& c : loaded) names.insert(c.map->MapName());
    for (const Checked& c : loaded) {
        for (const RelatedMap* r = c.map->relatedMapList; r; r = r->next) {
            if (names.count(r->targetMapName) == 0) {
                report->lines.push_back({false, c.shown, "related map target \"" + utf8(r->targetMapName) + "\" matches no map"});
            }
        }
    }
    for (Checked& c : loaded) c.map->Close();
}

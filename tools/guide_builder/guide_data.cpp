#include "tools/guide_builder/guide_data.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

using nlohmann::json;

namespace {

const char* const kNoBreakSpace = "\xC2\xA0";
const char* const kMiddleDot = " \xC2\xB7 ";

std::string lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

// The city list keeps every value as text; a number that does not read whole
// counts as missing.
std::optional<double> parse_number(const json& value) {
    if (value.is_number()) return value.get<double>();
    if (!value.is_string()) return std::nullopt;
    const std::string& s = value.get_ref<const std::string&>();
    if (s.empty()) return std::nullopt;
    char* end = nullptr;
    double d = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || !std::isfinite(d)) return std::nullopt;
    return d;
}

std::string text_of(const json& object, const char* key) {
    auto it = object.find(key);
    return (it != object.end() && it->is_string()) ? it->get<std::string>() : std::string();
}

struct Box {
    double west = std::numeric_limits<double>::max();
    double south = std::numeric_limits<double>::max();
    double east = -std::numeric_limits<double>::max();
    double north = -std::numeric_limits<double>::max();
};

Box bounds(const Feature& feature) {
    Box b;
    for (const Polygon& polygon : feature.polygons) {
        for (const LonLat& p : polygon.front()) {
            b.west = std::min(b.west, p.lon), b.east = std::max(b.east, p.lon);
            b.south = std::min(b.south, p.lat), b.north = std::max(b.north, p.lat);
        }
    }
    return b;
}

}  // namespace

bool load_countries(const json& countries, const json& continents, const json& currencies, WorldData& data,
                    std::string& error) {
    if (!countries.is_object() || !continents.is_object() || !currencies.is_object()) {
        error = "the country list is not made of JSON objects";
        return false;
    }
    for (const auto& [code, value] : continents.items()) {
        if (value.is_string()) data.continents[code] = value.get<std::string>();
    }
    for (const auto& [code, value] : currencies.items()) {
        if (value.is_object()) data.currencies[code] = text_of(value, "name");
    }
    for (const auto& [code, value] : countries.items()) {
        if (!value.is_object()) continue;
        Country c;
        c.code = code;
        c.name = text_of(value, "name");
        c.continent = text_of(value, "continent");
        c.capital = text_of(value, "capital");
        if (value.contains("currency") && value.at("currency").is_array()) {
            for (const json& cur : value.at("currency")) {
                if (cur.is_string()) c.currencies.push_back(cur.get<std::string>());
            }
        }
        if (c.name.empty() || data.continents.count(c.continent) == 0) continue;
        data.countries[code] = std::move(c);
    }
    if (data.countries.empty()) {
        error = "the country list holds no country";
        return false;
    }
    return true;
}

bool load_cities(const json& cities, WorldData& data, std::string& error) {
    if (!cities.is_array()) {
        error = "the city list is not a JSON array";
        return false;
    }
    for (const json& item : cities) {
        if (!item.is_object()) continue;
        std::optional<double> lat = parse_number(item.value("lat", json()));
        std::optional<double> lon = parse_number(item.value("lng", json()));
        if (!lat || !lon || std::fabs(*lat) > 90 || std::fabs(*lon) > 180) continue;
        City c;
        c.name = text_of(item, "city");
        if (c.name.empty()) continue;
        c.country = text_of(item, "country");
        c.code = text_of(item, "iso2");
        c.region = text_of(item, "admin_name");
        c.capital = text_of(item, "capital");
        c.id = text_of(item, "id");
        c.position = {*lon, *lat};
        std::optional<double> population = parse_number(item.value("population", json()));
        c.population = population && *population >= 0 ? static_cast<long long>(std::llround(*population)) : -1;
        data.cities.push_back(std::move(c));
    }
    if (data.cities.empty()) {
        error = "the city list holds no city";
        return false;
    }
    return true;
}

bool contains(const Polygon& polygon, LonLat point) {
    bool inside = false;
    for (const Ring& ring : polygon) {
        for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
            const LonLat& a = ring[i];
            const LonLat& b = ring[j];
            if ((a.lat > point.lat) != (b.lat > point.lat)) {
                double x = a.lon + (point.lat - a.lat) * (b.lon - a.lon) / (b.lat - a.lat);
                if (point.lon < x) inside = !inside;
            }
        }
    }
    return inside;
}

std::vector<std::string> country_codes(const Topology& topology, const WorldData& data) {
    std::map<std::string, std::string> byName;
    for (const auto& [code, country] : data.countries) byName[lower(country.name)] = code;
    // The city list names some countries as the outlines do ("Timor-Leste").
    for (const City& city : data.cities) {
        if (!city.country.empty() && data.countries.count(city.code)) byName.emplace(lower(city.country), city.code);
    }
    std::vector<std::string> codes(topology.features.size());
    std::map<std::string, int> taken;
    for (size_t f = 0; f < topology.features.size(); ++f) {
        auto it = byName.find(lower(topology.features[f].name));
        if (it != byName.end()) codes[f] = it->second, taken[it->second]++;
    }
    // Names that differ between the two sources ("Dem. Rep. Congo") are
    // matched through the national capital that lies inside the outline.
    for (size_t f = 0; f < topology.features.size(); ++f) {
        if (!codes[f].empty()) continue;
        for (const City& city : data.cities) {
            if (city.capital != "primary" || taken.count(city.code) || data.countries.count(city.code) == 0) continue;
            bool inside = false;
            for (const Polygon& polygon : topology.features[f].polygons) inside = inside || contains(polygon, city.position);
            if (inside) {
                codes[f] = city.code;
                taken[city.code]++;
                break;
            }
        }
    }
    return codes;
}

std::vector<std::string> continent_codes(const Topology& topology, const std::vector<std::string>& codes,
                                         const WorldData& data) {
    std::vector<std::string> continents(topology.features.size());
    std::vector<Box> boxes;
    for (const Feature& f : topology.features) boxes.push_back(bounds(f));
    for (size_t f = 0; f < codes.size(); ++f) {
        auto it = data.countries.find(codes[f]);
        if (it != data.countries.end()) continents[f] = it->second.continent;
    }
    for (size_t f = 0; f < codes.size(); ++f) {
        if (!continents[f].empty() || topology.features[f].polygons.empty()) continue;
        double cx = (boxes[f].west + boxes[f].east) / 2, cy = (boxes[f].south + boxes[f].north) / 2;
        double best = std::numeric_limits<double>::max();
        for (size_t g = 0; g < codes.size(); ++g) {
            auto it = data.countries.find(codes[g]);
            if (g == f || it == data.countries.end()) continue;
            double dx = (boxes[g].west + boxes[g].east) / 2 - cx, dy = (boxes[g].south + boxes[g].north) / 2 - cy;
            if (dx * dx + dy * dy < best) best = dx * dx + dy * dy, continents[f] = it->second.continent;
        }
    }
    return continents;
}

std::string group_thousands(long long value) {
    bool negative = value < 0;
    std::string digits = std::to_string(negative ? -value : value);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += kNoBreakSpace;
        out += digits[i];
    }
    return negative ? "-" + out : out;
}

std::string format_position(LonLat p) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f\xC2\xB0 %c %.2f\xC2\xB0 %c", std::fabs(p.lat), p.lat < 0 ? 'S' : 'N',
                  std::fabs(p.lon), p.lon < 0 ? 'W' : 'E');
    return buffer;
}

std::string html_escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else out += c;
    }
    return out;
}

std::string before_comma(const std::string& text) {
    std::string s = text.substr(0, text.find(','));
    while (!s.empty() && s.back() == ' ') s.pop_back();
    size_t start = s.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : s.substr(start);
}

std::string city_description(const City& city, const WorldData& data) {
    auto it = data.countries.find(city.code);
    std::string country = before_comma(it != data.countries.end() ? it->second.name : city.country);
    std::string region = before_comma(city.region);
    std::vector<std::string> parts;
    if (city.capital == "primary") {
        parts.push_back("Capital of " + country);
    } else if (city.capital == "admin" && !region.empty()) {
        parts.push_back("Capital of " + region);
        parts.push_back(country);
    } else {
        parts.push_back(country);
    }
    if (!region.empty() && city.capital != "admin" && region != city.name && region != country) parts.push_back(region);
    if (city.population > 0) parts.push_back("population " + group_thousands(city.population));
    parts.push_back(format_position(city.position));
    std::string out;
    for (const std::string& part : parts) {
        if (part.empty()) continue;
        if (!out.empty()) out += kMiddleDot;
        out += html_escape(part);
    }
    return out;
}

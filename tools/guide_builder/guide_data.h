// The public data behind the guide: countries with their continent, capital
// and currency; cities with their country, region, population and position;
// and the texts made from them.
#pragma once

#include "tools/guide_builder/topojson.h"

#include <nlohmann/json_fwd.hpp>

#include <map>
#include <optional>
#include <string>
#include <vector>

struct Country {
    std::string code;       // ISO 3166 alpha-2
    std::string name;
    std::string continent;  // two-letter continent code: AF AN AS EU NA OC SA
    std::string capital;
    std::vector<std::string> currencies;  // ISO 4217 codes
};

struct City {
    std::string name;
    std::string country;  // as the city list names it
    std::string code;     // ISO 3166 alpha-2 of its country
    std::string region;   // first-level region, may be empty
    std::string capital;  // "primary", "admin", "minor" or empty
    LonLat position;
    long long population;  // -1 when unknown
    std::string id;
};

struct WorldData {
    std::map<std::string, Country> countries;      // by code
    std::map<std::string, std::string> continents;  // code -> name
    std::map<std::string, std::string> currencies;  // code -> name
    std::vector<City> cities;                       // in the list's order
};

// Reads the country list (countries, continents and currencies as the
// package ships them) and the city list. Fails with the reason on a
// malformed file; a city without a usable position is left out.
bool load_countries(const nlohmann::json& countries, const nlohmann::json& continents,
                    const nlohmann::json& currencies, WorldData& data, std::string& error);
bool load_cities(const nlohmann::json& cities, WorldData& data, std::string& error);

// The country code of every feature, "" where none is found: first by the
// feature's name, then by the national capital that lies inside it.
std::vector<std::string> country_codes(const Topology& topology, const WorldData& data);

// The continent of every feature: its country's, or for a feature without a
// country (a disputed area, a tiny territory) that of the nearest feature
// that has one.
std::vector<std::string> continent_codes(const Topology& topology, const std::vector<std::string>& codes,
                                         const WorldData& data);

// Whether the point lies inside the polygon under the even-odd rule, in
// degrees (the polygon must not cross the antimeridian).
bool contains(const Polygon& polygon, LonLat point);

// 11060000 -> "11 060 000" with no-break spaces between the groups (a comma
// would end a database field).
std::string group_thousands(long long value);
// "48.86° N 2.35° E"
std::string format_position(LonLat p);
// &, < and > written as entities, so data text cannot become markup.
std::string html_escape(const std::string& text);
// The text before its first comma, trimmed: "London, City of" -> "London".
std::string before_comma(const std::string& text);

// A place's description: what it is, where, how many live there and its
// position, separated by middle dots, without a comma.
std::string city_description(const City& city, const WorldData& data);

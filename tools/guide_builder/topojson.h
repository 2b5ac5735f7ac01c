// TopoJSON topologies: shared arcs, quantized and delta-encoded, from which
// every polygon ring is assembled. Geometry stays in degrees (longitude,
// latitude); projecting is the renderer's business.
#pragma once

#include <nlohmann/json_fwd.hpp>

#include <optional>
#include <string>
#include <vector>

struct LonLat {
    double lon;
    double lat;
};

using Ring = std::vector<LonLat>;

// One polygon: its outer ring first, then its holes. The fill rule is
// even-odd, so ring orientation plays no part.
using Polygon = std::vector<Ring>;

struct Feature {
    std::string id;    // the geometry's "id", empty when it has none
    std::string name;  // properties.name, empty when it has none
    std::vector<Polygon> polygons;
    std::vector<int> arcs;  // every arc index the outline uses, each once, ascending
};

struct Topology {
    std::vector<Ring> arcs;  // decoded arcs: absolute positions in degrees
    std::vector<Feature> features;
};

// Decodes the named geometry collection of a topology (for example
// "countries"). Polygon and MultiPolygon geometries become features; other
// geometry types are skipped. On malformed input (an arc index out of range,
// a missing member, a wrong type) returns nothing and sets error.
std::optional<Topology> decode_topojson(const nlohmann::json& topology, const std::string& object,
                                        std::string& error);

// Pairs of features that share at least one arc, as (lower, higher) indices
// into Topology::features, ascending.
std::vector<std::pair<int, int>> neighbours(const Topology& topology);

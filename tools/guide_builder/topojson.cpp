#include "tools/guide_builder/topojson.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <map>
#include <set>

using nlohmann::json;

namespace {

// Arc positions are integers added up from deltas when the topology is
// quantized; otherwise they are plain degrees.
std::vector<Ring> decode_arcs(const json& topology) {
    bool quantized = topology.contains("transform");
    double sx = 1, sy = 1, tx = 0, ty = 0;
    if (quantized) {
        const json& t = topology.at("transform");
        sx = t.at("scale").at(0).get<double>();
        sy = t.at("scale").at(1).get<double>();
        tx = t.at("translate").at(0).get<double>();
        ty = t.at("translate").at(1).get<double>();
    }
    std::vector<Ring> arcs;
    for (const json& arc : topology.at("arcs")) {
        Ring points;
        long long qx = 0, qy = 0;
        for (const json& p : arc) {
            if (quantized) {
                qx += p.at(0).get<long long>();
                qy += p.at(1).get<long long>();
                points.push_back({static_cast<double>(qx) * sx + tx, static_cast<double>(qy) * sy + ty});
            } else {
                points.push_back({p.at(0).get<double>(), p.at(1).get<double>()});
            }
        }
        arcs.push_back(std::move(points));
    }
    return arcs;
}

// A ring is its arcs joined end to start; each arc after the first repeats
// the last point of the one before it, so that point is dropped. A negative
// index ~i is arc i walked backwards.
bool assemble_ring(const json& indices, const std::vector<Ring>& arcs, Ring& ring, std::set<int>& used,
                   std::string& error) {
    for (const json& item : indices) {
        long long index = item.get<long long>();
        long long arc = index < 0 ? ~index : index;
        if (arc < 0 || arc >= static_cast<long long>(arcs.size())) {
            error = "arc index " + std::to_string(index) + " out of range";
            return false;
        }
        used.insert(static_cast<int>(arc));
        const Ring& points = arcs[static_cast<size_t>(arc)];
        Ring piece(points);
        if (index < 0) std::reverse(piece.begin(), piece.end());
        size_t start = ring.empty() ? 0 : 1;
        for (size_t i = start; i < piece.size(); ++i) ring.push_back(piece[i]);
    }
    return true;
}

bool decode_polygon(const json& rings, const std::vector<Ring>& arcs, Polygon& polygon, std::set<int>& used,
                    std::string& error) {
    for (const json& indices : rings) {
        Ring ring;
        if (!assemble_ring(indices, arcs, ring, used, error)) return false;
        // A ring needs three distinct corners to enclose anything.
        if (ring.size() >= 4) polygon.push_back(std::move(ring));
    }
    return true;
}

}  // namespace

std::optional<Topology> decode_topojson(const json& topology, const std::string& object, std::string& error) {
    try {
        if (topology.at("type").get<std::string>() != "Topology") {
            error = "not a TopoJSON topology";
            return std::nullopt;
        }
        Topology result;
        result.arcs = decode_arcs(topology);
        const json& collection = topology.at("objects").at(object);
        for (const json& geometry : collection.at("geometries")) {
            if (!geometry.contains("type") || !geometry.at("type").is_string()) continue;
            std::string type = geometry.at("type").get<std::string>();
            if (type != "Polygon" && type != "MultiPolygon") continue;
            Feature feature;
            if (geometry.contains("id")) {
                const json& id = geometry.at("id");
                feature.id = id.is_string() ? id.get<std::string>() : id.dump();
            }
            if (geometry.contains("properties") && geometry.at("properties").contains("name")) {
                feature.name = geometry.at("properties").at("name").get<std::string>();
            }
            std::set<int> used;
            const json& arcs = geometry.at("arcs");
            if (type == "Polygon") {
                Polygon polygon;
                if (!decode_polygon(arcs, result.arcs, polygon, used, error)) return std::nullopt;
                if (!polygon.empty()) feature.polygons.push_back(std::move(polygon));
            } else {
                for (const json& rings : arcs) {
                    Polygon polygon;
                    if (!decode_polygon(rings, result.arcs, polygon, used, error)) return std::nullopt;
                    if (!polygon.empty()) feature.polygons.push_back(std::move(polygon));
                }
            }
            feature.arcs.assign(used.begin(), used.end());
            result.features.push_back(std::move(feature));
        }
        return result;
    } catch (const json::exception& e) {
        error = std::string("malformed topology: ") + e.what();
        return std::nullopt;
    }
}

std::vector<std::pair<int, int>> neighbours(const Topology& topology) {
    std::map<int, std::vector<int>> usersOfArc;
    for (size_t f = 0; f < topology.features.size(); ++f) {
        for (int arc : topology.features[f].arcs) usersOfArc[arc].push_back(static_cast<int>(f));
    }
    std::set<std::pair<int, int>> pairs;
    for (const auto& [arc, users] : usersOfArc) {
        for (size_t i = 0; i < users.size(); ++i) {
            for (size_t j = i + 1; j < users.size(); ++j) {
                if (users[i] != users[j]) pairs.insert({std::min(users[i], users[j]), std::max(users[i], users[j])});
            }
        }
    }
    return {pairs.begin(), pairs.end()};
}

// add-places: point features of a vector source become places of a map,
// grouped by category.
#include "tools/guide/commands.h"
#include "tools/guide/guide.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>

namespace {

struct Place {
    int x = 0;
    int y = 0;
    std::u16string name;
    std::u16string description;  // empty: none

    std::u16string line() const {
        std::u16string l = utf16(std::to_string(x) + "," + std::to_string(y) + ",") + name;
        return description.empty() ? l : l + u"," + description;
    }
};

struct Category {
    std::u16string name;
    std::vector<Place> places;
};

struct Skipped {
    int outside = 0;
    int unnamed = 0;
    int noGeometry = 0;
    int untransformed = 0;
};

struct GdalClose {
    void operator()(GDALDataset* d) const { GDALClose(d); }
};

std::string field_list(OGRFeatureDefn* defn) {
    std::string list;
    for (int i = 0; i < defn->GetFieldCount(); ++i) list += (i ? ", " : "") + std::string(defn->GetFieldDefn(i)->GetNameRef());
    return list.empty() ? "none" : list;
}

// The index of the field named by option (else of the first of fallbacks the
// layer has, or -1).
int field_index(OGRLayer* layer, const CommandLine& line, const std::string& option,
                std::initializer_list<const char*> fallbacks) {
    OGRFeatureDefn* defn = layer->GetLayerDefn();
    if (line.has(option)) {
        const int i = defn->GetFieldIndex(line.value(option).c_str());
        if (i < 0) {
            throw GuideError(option + ": no field \"" + line.value(option) + "\" in layer \"" + layer->GetName() +
                             "\"; its fields: " + field_list(defn));
        }
        return i;
    }
    for (const char* name : fallbacks) {
        if (defn->GetFieldIndex(name) >= 0) return defn->GetFieldIndex(name);
    }
    return -1;
}

std::u16string field_text(OGRFeature& f, int index) {
    return index >= 0 && f.IsFieldSetAndNotNull(index) ? utf16(f.GetFieldAsString(index)) : std::u16string();
}

// A category line is taken whole and shown as plain text: only line breaks
// and blanks at its ends go.
std::u16string category_text(std::u16string text, const std::u16string& fallback) {
    for (char16_t& c : text) {
        if (c < u' ') c = u' ';
    }
    const std::size_t first = text.find_first_not_of(u' ');
    if (first == std::u16string::npos) return fallback;
    text = text.substr(first, text.find_last_not_of(u' ') - first + 1);
    if (starts_with_tag(text)) throw GuideError("the category \"" + utf8(text) + "\" begins with a tag of the database format");
    return text;
}

// A place's pixel: the one whose area holds the point. A point a hair inside
// a pixel's edge by rounding counts as on it.
int pixel_of(double v) { return static_cast<int>(std::floor(v + 1e-6)); }

}  // namespace

void run_add_places(const std::vector<std::string>& args) {
    const CommandLine line = parse_command_line(
        args, 3, {"--layer", "--category", "--category-name", "--name", "--description", "--where"});
    if (line.has("--category") && line.has("--category-name")) {
        throw GuideError("give --category FIELD or --category-name TEXT, not both");
    }
    Guide guide(line.positional[0]);
    const GuideMap& map = guide.find(line.positional[1]);
    const std::string& source = line.positional[2];
    std::unique_ptr<MapGeoref> georef = guide.georef(map);
    const auto [width, height] = guide.image_size(map);

    // A CSV holds its points in coordinate columns under names like these.
    const bool csv = lstrcmpiW(utf16(std::filesystem::path(source).extension().string()).c_str(), u".csv") == 0;
    const char* const csvOptions[] = {"X_POSSIBLE_NAMES=lon,long,longitude,lng,x,easting",
                                      "Y_POSSIBLE_NAMES=lat,latitude,y,northing", nullptr};
    std::unique_ptr<GDALDataset, GdalClose> ds(GDALDataset::Open(source.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY,
                                                                 nullptr, csv ? csvOptions : nullptr));
    if (!ds) throw GuideError("cannot read " + source + " as vector data: " + CPLGetLastErrorMsg());
    OGRLayer* layer = line.has("--layer") ? ds->GetLayerByName(line.value("--layer").c_str()) : ds->GetLayer(0);
    if (!layer) {
        std::string layers;
        for (OGRLayer* l : ds->GetLayers()) layers += (layers.empty() ? "" : ", ") + std::string(l->GetName());
        throw GuideError("no layer \"" + line.value("--layer") + "\" in " + source + "; its layers: " +
                         (layers.empty() ? "none" : layers));
    }
    const int nameField = field_index(layer, line, "--name", {"name"});
    if (nameField < 0) {
        throw GuideError("layer \"" + std::string(layer->GetName()) +
                         "\" has no field \"name\": say which holds the names with --name; its fields: " +
                         field_list(layer->GetLayerDefn()));
    }
    const int descriptionField = field_index(layer, line, "--description", {"description", "desc"});
    const int categoryField = field_index(layer, line, "--category", {});
    const std::u16string defaultCategory =
        category_text(utf16(line.value("--category-name", std::filesystem::path(source).stem().string())), u"Places");
    if (line.has("--where") && layer->SetAttributeFilter(line.value("--where").c_str()) != OGRERR_NONE) {
        throw GuideError("--where " + line.value("--where") + ": " + CPLGetLastErrorMsg());
    }

    // A source without a coordinate system holds longitudes and latitudes.
    OGRSpatialReference sourceSrs;
    sourceSrs.SetWellKnownGeogCS("WGS84");
    if (layer->GetSpatialRef()) sourceSrs = *layer->GetSpatialRef();
    sourceSrs = traditional(sourceSrs);
    std::unique_ptr<OGRCoordinateTransformation> transform(
        OGRCreateCoordinateTransformation(&sourceSrs, &georef->srs()));
    if (!transform) {
        throw GuideError("cannot transform the coordinates of " + source + " (" +
                         (sourceSrs.GetName() ? sourceSrs.GetName() : "?") + ") into those of \"" + utf8(map.name) +
                         "\" (" + (georef->srs().GetName() ? georef->srs().GetName() : "?") + "): " + CPLGetLastErrorMsg());
    }

    std::vector<Category> categories;
    Skipped skipped;
    int commas = 0;
    for (auto& feature : *layer) {
        const OGRGeometry* geometry = feature->GetGeometryRef();
        OGRPoint point;
        if (!geometry || geometry->IsEmpty()) {
            ++skipped.noGeometry;
            continue;
        }
        if (wkbFlatten(geometry->getGeometryType()) == wkbPoint) {
            point = *geometry->toPoint();
        } else {
            OGRGeometryH inside = OGR_G_PointOnSurface(OGRGeometry::ToHandle(const_cast<OGRGeometry*>(geometry)));
            const bool found = inside && wkbFlatten(OGR_G_GetGeometryType(inside)) == wkbPoint && !OGR_G_IsEmpty(inside);
            if (found) point = *OGRGeometry::FromHandle(inside)->toPoint();
            OGR_G_DestroyGeometry(inside);
            if (!found) {
                ++skipped.noGeometry;
                continue;
            }
        }
        double x = point.getX();
        double y = point.getY();
        double px = 0;
        double py = 0;
        if (!transform->Transform(1, &x, &y) || !georef->to_pixel(x, y, &px, &py)) {
            ++skipped.untransformed;
            continue;
        }
        Place place{pixel_of(px), pixel_of(py), {}, {}};
        if (place.x < 0 || place.y < 0 || place.x >= width || place.y >= height) {
            ++skipped.outside;
            continue;
        }
        int fieldCommas = 0;
        place.name = place_field(field_text(*feature, nameField), &fieldCommas);
        place.description = place_field(field_text(*feature, descriptionField), &fieldCommas);
        if (place.name.empty()) {
            ++skipped.unnamed;
            continue;
        }
        commas += fieldCommas;
        const std::u16string category =
            categoryField >= 0 ? category_text(field_text(*feature, categoryField), defaultCategory) : defaultCategory;
        auto it = std::find_if(categories.begin(), categories.end(), [&](const Category& c) { return c.name == category; });
        if (it == categories.end()) it = categories.insert(categories.end(), Category{category, {}});
        it->places.push_back(std::move(place));
    }

    // Edits by line: replacements in place, then insertions from the bottom
    // up, so that the lines still to be edited keep their numbers.
    DabText text = guide.read(map);
    std::optional<std::vector<DabBlock>> blocks = find_blocks(text, u"<Locations>", u"</Locations>");
    if (!blocks) throw GuideError(map.file + " has a <Locations> block without its end line");
    std::map<std::size_t, std::u16string> replacements;
    std::map<std::size_t, std::vector<std::u16string>, std::greater<>> insertions;
    std::vector<std::u16string> newBlocks;
    std::vector<std::string> report;
    for (const Category& category : categories) {
        int added = 0;
        int replaced = 0;
        auto block = std::find_if(blocks->begin(), blocks->end(), [&](const DabBlock& b) { return text.line(b.first) == category.name; });
        // The places already there, by name, in file order: the n-th place of
        // a name is replaced by the n-th of the same name.
        std::map<std::u16string, std::vector<std::size_t>> existing;
        if (block != blocks->end()) {
            for (std::size_t i = block->first + 1; i < block->end; ++i) {
                std::vector<std::u16string> fields = split_fields(text.line(i));
                if (fields.size() >= 3) existing[fields[2]].push_back(i);
            }
        }
        std::vector<std::u16string> newLines;
        for (const Place& place : category.places) {
            std::vector<std::size_t>& same = existing[place.name];
            if (!same.empty()) {
                replacements[same.front()] = place.line();
                same.erase(same.begin());
                ++replaced;
            } else {
                newLines.push_back(place.line());
                ++added;
            }
        }
        if (block != blocks->end()) {
            auto& at = insertions[block->end];
            at.insert(at.end(), newLines.begin(), newLines.end());
        } else {
            newBlocks.push_back(u"<Locations>");
            newBlocks.push_back(category.name);
            newBlocks.insert(newBlocks.end(), newLines.begin(), newLines.end());
            newBlocks.push_back(u"</Locations>");
        }
        report.push_back(utf8(category.name) + ": " + std::to_string(added) + " added, " + std::to_string(replaced) +
                         " replaced");
    }
    bool written = true;
    for (const auto& [at, l] : replacements) written = written && text.replace(at, 1, {l});
    for (const auto& [at, lines] : insertions) written = written && text.replace(at, 0, lines);
    written = written && text.append(newBlocks);
    if (!written) throw GuideError(map.file + " is in Windows-1252, which cannot hold every character of the places");
    guide.stage(map.file, text.bytes());
    std::string summary;
    for (const std::string& r : report) summary += r + "\n";
    summary += "skipped: " + std::to_string(skipped.outside) + " outside the image, " + std::to_string(skipped.unnamed) +
               " without a name, " + std::to_string(skipped.noGeometry) + " without a point, " +
               std::to_string(skipped.untransformed) + " not transformable\n";
    if (commas) summary += std::to_string(commas) + " commas became \u201A (U+201A): a comma would end the field\n";
    guide.commit(summary);
}

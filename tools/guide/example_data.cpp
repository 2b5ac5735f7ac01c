#include "tools/guide/example_data.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <cmath>
#include <memory>

namespace {

// The town is drawn around this point, in metres east and north of it.
constexpr double kLon0 = 9.0;
constexpr double kLat0 = 47.55;

struct Colour {
    unsigned char r, g, b;
};

Colour town_colour(double lon, double lat) {
    const double e = (lon - kLon0) * std::cos(kLat0 * M_PI / 180) * 111320;
    const double n = (lat - kLat0) * 110574;
    const double lx = (e + 700) / 500, ly = (n + 550) / 300;
    if (lx * lx + ly * ly < 1) return {150, 190, 230};  // the lake
    if (std::fabs(n - (0.5 * e - 250 + 80 * std::sin(e / 150))) < 20 && e > -400) return {150, 190, 230};  // the river
    if (e > 150 && e < 450 && n > 100 && n < 350) return {170, 210, 150};                                // the park
    const double me = std::fmod(e + 6000, 600), mn = std::fmod(n + 6000, 600);
    if (me < 10 || mn < 10) return {240, 200, 120};  // main roads
    if (std::fmod(me, 150) < 5 || std::fmod(mn, 150) < 5) return {255, 255, 255};
    return {238, 232, 218};
}

struct GdalClose {
    void operator()(GDALDataset* d) const { GDALClose(d); }
};

OGRSpatialReference srs_of(int epsg) {
    OGRSpatialReference srs;
    srs.importFromEPSG(epsg);
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return srs;
}

bool fail(std::string* error, const std::string& what) {
    *error = what + ": " + CPLGetLastErrorMsg();
    return false;
}

}  // namespace

bool write_example_raster(const std::string& path, const ExampleRaster& raster, std::string* error) {
    const int w = raster.width, h = raster.height;
    std::vector<double> xs, ys;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            xs.push_back(raster.originX + (x + 0.5) * raster.pixelSize);
            ys.push_back(raster.originY - (y + 0.5) * raster.pixelSize);
        }
    }
    // A plain picture lies where a Web Mercator one with the same numbers would.
    OGRSpatialReference from = srs_of(raster.epsg ? raster.epsg : 3857);
    OGRSpatialReference wgs84 = srs_of(4326);
    std::unique_ptr<OGRCoordinateTransformation> ct(OGRCreateCoordinateTransformation(&from, &wgs84));
    if (!ct || !ct->Transform(static_cast<int>(xs.size()), xs.data(), ys.data())) return fail(error, "transform");
    std::vector<unsigned char> bands(static_cast<std::size_t>(w) * h * 3);
    for (std::size_t i = 0; i < xs.size(); ++i) {
        const Colour c = town_colour(xs[i], ys[i]);
        bands[i] = c.r;
        bands[xs.size() + i] = c.g;
        bands[2 * xs.size() + i] = c.b;
    }
    GDALDriver* mem = GetGDALDriverManager()->GetDriverByName("MEM");
    std::unique_ptr<GDALDataset, GdalClose> ds(mem->Create("", w, h, 3, GDT_Byte, nullptr));
    if (!ds || ds->RasterIO(GF_Write, 0, 0, w, h, bands.data(), w, h, GDT_Byte, 3, nullptr, 0, 0, 0, nullptr) != CE_None) {
        return fail(error, "draw");
    }
    if (raster.epsg) {
        double gt[6] = {raster.originX, raster.pixelSize, 0, raster.originY, 0, -raster.pixelSize};
        OGRSpatialReference srs = srs_of(raster.epsg);
        ds->SetGeoTransform(gt);
        ds->SetSpatialRef(&srs);
    }
    GDALDriver* out = GetGDALDriverManager()->GetDriverByName(raster.epsg ? "GTiff" : "PNG");
    std::unique_ptr<GDALDataset, GdalClose> file(out->CreateCopy(path.c_str(), ds.get(), FALSE, nullptr, nullptr, nullptr));
    return file ? true : fail(error, "write " + path);
}

bool write_example_places(const std::string& path, const std::string& driver, const std::vector<ExamplePlace>& places,
                          std::string* error) {
    GDALDriver* d = GetGDALDriverManager()->GetDriverByName(driver.c_str());
    std::unique_ptr<GDALDataset, GdalClose> ds(d ? d->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr) : nullptr);
    if (!ds) return fail(error, "create " + path);
    OGRSpatialReference wgs84 = srs_of(4326);
    const bool gpx = driver == "GPX";
    const char* const csvOptions[] = {"GEOMETRY=AS_XY", nullptr};
    OGRLayer* layer = ds->CreateLayer(gpx ? "waypoints" : "places", &wgs84, gpx ? wkbPoint : wkbUnknown,
                                      driver == "CSV" ? const_cast<char**>(csvOptions) : nullptr);
    if (!layer) return fail(error, "layer");
    const char* names[] = {"name", gpx ? "type" : "category", gpx ? "desc" : "description"};
    if (!gpx) {
        for (const char* n : names) {
            OGRFieldDefn field(n, OFTString);
            layer->CreateField(&field);
        }
    }
    for (const ExamplePlace& p : places) {
        OGRFeature f(layer->GetLayerDefn());
        const std::string* values[] = {&p.name, &p.category, &p.description};
        for (int i = 0; i < 3; ++i) {
            if (!values[i]->empty()) f.SetField(names[i], values[i]->c_str());
        }
        if (p.halfSide > 0) {
            OGRLinearRing ring;
            for (int k : {0, 1, 2, 3, 0}) {
                ring.addPoint(p.lon + (k == 1 || k == 2 ? p.halfSide : -p.halfSide),
                              p.lat + (k >= 2 ? p.halfSide : -p.halfSide));
            }
            OGRPolygon polygon;
            polygon.addRing(&ring);
            f.SetGeometry(&polygon);
        } else {
            OGRPoint point(p.lon, p.lat);
            f.SetGeometry(&point);
        }
        if (layer->CreateFeature(&f) != OGRERR_NONE) return fail(error, "feature " + p.name);
    }
    return true;
}

ExampleRaster example_town() { return {3857, 999875, 6034015, 10, 400, 340}; }

ExampleRaster example_old_town() {
    // 1200 x 1000 m of the town's middle, on whole metres of UTM zone 32N.
    OGRSpatialReference wgs84 = srs_of(4326), utm = srs_of(32632);
    std::unique_ptr<OGRCoordinateTransformation> ct(OGRCreateCoordinateTransformation(&wgs84, &utm));
    double x = kLon0, y = kLat0;
    ct->Transform(1, &x, &y);
    return {32632, std::round(x - 500), std::round(y + 400), 2, 600, 500};
}

std::vector<ExamplePlace> example_sights() {
    return {
        {9.0012, 47.5512, "Town Hall", "Sights", "Built 1610, rebuilt 1893", 0},
        {8.9968, 47.5489, "Lake Pier", "Sights", "Boats every hour, May to October", 0},
        {9.0041, 47.5527, "St. Mary's Church", "Sights", "Romanesque crypt; tower open on Sundays", 0},
        {9.0025, 47.5495, "City Park", "Parks", "Playground, rose garden", 0.0006},
        {8.9991, 47.5521, "Market Square", "Sights", "Market on Tuesday & Friday", 0},
        {9.0070, 47.5560, "Mill Museum", "Museums", "The old water mill, working", 0},
        {8.9850, 47.5600, "Hill Lookout", "Sights", "View over the lake", 0},
        {9.2000, 47.7000, "Far Castle", "Sights", "Outside every map", 0},
    };
}

#include "tools/guide/map_georef.h"

#include <cpl_conv.h>
#include <cpl_minixml.h>
#include <gdal.h>
#include <gdal_alg.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

std::string stem_path(const std::string& imagePath) {
    return std::filesystem::path(imagePath).replace_extension().string();
}

std::string number(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

std::string wkt_of(const OGRSpatialReference& srs) {
    char* wkt = nullptr;
    // WKT 1 where it can say everything, as most readers of .prj files expect.
    if (srs.exportToWkt(&wkt) != OGRERR_NONE) {
        CPLFree(wkt);
        wkt = nullptr;
        const char* const options[] = {"FORMAT=WKT2_2019", nullptr};
        if (srs.exportToWkt(&wkt, options) != OGRERR_NONE) wkt = nullptr;
    }
    std::string text = wkt ? wkt : "";
    CPLFree(wkt);
    return text;
}

std::vector<GDAL_GCP> gdal_points(const std::vector<ControlPoint>& points) {
    std::vector<GDAL_GCP> gcps(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        gcps[i] = GDAL_GCP{const_cast<char*>(""), const_cast<char*>(""), points[i].pixel, points[i].line,
                           points[i].x, points[i].y, 0};
    }
    return gcps;
}

std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

OGRSpatialReference traditional(const OGRSpatialReference& srs) {
    OGRSpatialReference copy(srs);
    copy.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return copy;
}

MapGeoref::~MapGeoref() {
    if (m_transformer) GDALDestroyGCPTransformer(m_transformer);
}

std::unique_ptr<MapGeoref> MapGeoref::from_affine(const std::array<double, 6>& gt, const OGRSpatialReference& srs,
                                                  std::string* error) {
    std::unique_ptr<MapGeoref> g(new MapGeoref);
    g->m_srs = traditional(srs);
    g->m_gt = gt;
    if (!GDALInvGeoTransform(g->m_gt.data(), g->m_inverse.data())) {
        *error = "the georeference cannot be inverted (a pixel of size zero)";
        return nullptr;
    }
    return g;
}

std::unique_ptr<MapGeoref> MapGeoref::from_points(std::vector<ControlPoint> points, const OGRSpatialReference& srs,
                                                  std::string* error) {
    std::unique_ptr<MapGeoref> g(new MapGeoref);
    g->m_srs = traditional(srs);
    g->m_points = std::move(points);
    const int n = static_cast<int>(g->m_points.size());
    g->m_order = n >= 10 ? 3 : n >= 6 ? 2 : 1;
    std::vector<GDAL_GCP> gcps = gdal_points(g->m_points);
    g->m_transformer = GDALCreateGCPTransformer(n, gcps.data(), g->m_order, FALSE);
    if (!g->m_transformer) {
        *error = std::string("the control points give no transformation: ") + CPLGetLastErrorMsg();
        return nullptr;
    }
    return g;
}

std::unique_ptr<MapGeoref> MapGeoref::load(const std::string& imagePath, std::string* error) {
    error->clear();
    const std::string prjPath = stem_path(imagePath) + ".prj";
    if (!std::filesystem::exists(prjPath)) return nullptr;
    OGRSpatialReference srs;
    if (srs.SetFromUserInput(read_text(prjPath).c_str()) != OGRERR_NONE) {
        *error = prjPath + " holds no coordinate system GDAL reads";
        return nullptr;
    }
    const std::string auxPath = imagePath + ".aux.xml";
    if (std::filesystem::exists(auxPath)) {
        CPLXMLNode* root = CPLParseXMLFile(auxPath.c_str());
        const CPLXMLNode* list = root ? CPLGetXMLNode(root, "=PAMDataset.GCPList") : nullptr;
        std::vector<ControlPoint> points;
        for (const CPLXMLNode* n = list ? list->psChild : nullptr; n; n = n->psNext) {
            if (n->eType != CXT_Element || !EQUAL(n->pszValue, "GCP")) continue;
            points.push_back({CPLAtof(CPLGetXMLValue(n, "Pixel", "0")), CPLAtof(CPLGetXMLValue(n, "Line", "0")),
                              CPLAtof(CPLGetXMLValue(n, "X", "0")), CPLAtof(CPLGetXMLValue(n, "Y", "0"))});
        }
        if (root) CPLDestroyXMLNode(root);
        if (points.size() < 3) {
            *error = auxPath + " holds fewer than 3 control points";
            return nullptr;
        }
        return from_points(std::move(points), srs, error);
    }
    std::array<double, 6> gt{};
    if (!GDALReadWorldFile(imagePath.c_str(), "wld", gt.data())) {
        *error = stem_path(imagePath) + ".wld is missing or unreadable";
        return nullptr;
    }
    return from_affine(gt, srs, error);
}

std::vector<std::pair<std::string, std::string>> MapGeoref::sidecars(const std::string& imageName) const {
    std::array<double, 6> gt = m_gt;
    if (!m_points.empty()) {
        // Readers of world files get the affine transformation nearest to the points.
        std::vector<GDAL_GCP> gcps = gdal_points(m_points);
        if (!GDALGCPsToGeoTransform(static_cast<int>(gcps.size()), gcps.data(), gt.data(), TRUE)) gt = {0, 1, 0, 0, 0, 1};
    }
    // A world file gives the centre of the top-left pixel.
    std::string world;
    for (double v : {gt[1], gt[4], gt[2], gt[5], gt[0] + gt[1] / 2 + gt[2] / 2, gt[3] + gt[4] / 2 + gt[5] / 2}) {
        world += number(v) + "\r\n";
    }
    const std::string stem = stem_path(imageName);
    std::vector<std::pair<std::string, std::string>> files{{stem + ".wld", world}, {stem + ".prj", wkt_of(m_srs)}};
    if (!m_points.empty()) {
        std::string xml = "<PAMDataset>\n  <GCPList>\n";
        for (const ControlPoint& p : m_points) {
            xml += "    <GCP Pixel=\"" + number(p.pixel) + "\" Line=\"" + number(p.line) + "\" X=\"" + number(p.x) +
                   "\" Y=\"" + number(p.y) + "\" />\n";
        }
        xml += "  </GCPList>\n</PAMDataset>\n";
        files.emplace_back(imageName + ".aux.xml", xml);
    }
    return files;
}

std::unique_ptr<MapGeoref> MapGeoref::scaled(double sx, double sy) const {
    std::string error;
    if (m_points.empty()) {
        const std::array<double, 6> gt{m_gt[0], m_gt[1] * sx, m_gt[2] * sy, m_gt[3], m_gt[4] * sx, m_gt[5] * sy};
        return from_affine(gt, m_srs, &error);
    }
    std::vector<ControlPoint> points = m_points;
    for (ControlPoint& p : points) {
        p.pixel /= sx;
        p.line /= sy;
    }
    return from_points(std::move(points), m_srs, &error);
}

bool MapGeoref::to_pixel(double x, double y, double* px, double* py) const {
    return transform(true, x, y, px, py);
}

bool MapGeoref::to_coordinates(double px, double py, double* x, double* y) const {
    return transform(false, px, py, x, y);
}

bool MapGeoref::transform(bool toPixel, double x, double y, double* outX, double* outY) const {
    if (m_transformer) {
        double z = 0;
        int ok = FALSE;
        GDALGCPTransform(m_transformer, toPixel, 1, &x, &y, &z, &ok);
        *outX = x;
        *outY = y;
        return ok;
    }
    const std::array<double, 6>& g = toPixel ? m_inverse : m_gt;
    *outX = g[0] + g[1] * x + g[2] * y;
    *outY = g[3] + g[4] * x + g[5] * y;
    return true;
}

// Where a map image lies on the Earth: its coordinate system and either an
// affine transformation (a world file) or ground control points (GDAL's
// polynomial transformation). Kept beside the image as standard sidecars:
// NAME.wld and NAME.prj, and NAME.twk.aux.xml with the control points.
#pragma once

#include <ogr_spatialref.h>

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct ControlPoint {
    double pixel = 0;  // image x
    double line = 0;   // image y
    double x = 0;      // in the map's coordinate system
    double y = 0;
};

class MapGeoref {
public:
    MapGeoref(const MapGeoref&) = delete;
    MapGeoref& operator=(const MapGeoref&) = delete;
    ~MapGeoref();

    // gt as GDAL's geotransform: pixel corner to coordinates.
    static std::unique_ptr<MapGeoref> from_affine(const std::array<double, 6>& gt, const OGRSpatialReference& srs,
                                                  std::string* error);
    // Affine below six points, then polynomial of order 2, and of order 3
    // from ten.
    static std::unique_ptr<MapGeoref> from_points(std::vector<ControlPoint> points, const OGRSpatialReference& srs,
                                                  std::string* error);
    // The georeference kept beside the image at imagePath. Null with an empty
    // error when there is none; null with the reason when it cannot be read.
    static std::unique_ptr<MapGeoref> load(const std::string& imagePath, std::string* error);

    // The sidecars of the image named imageName: file name and content.
    std::vector<std::pair<std::string, std::string>> sidecars(const std::string& imageName) const;
    // The same georeference for the image scaled by 1/sx across and 1/sy down.
    std::unique_ptr<MapGeoref> scaled(double sx, double sy) const;

    const OGRSpatialReference& srs() const { return m_srs; }
    const std::vector<ControlPoint>& points() const { return m_points; }
    // The polynomial order of a georeference by points; 0 for an affine one.
    int order() const { return m_points.empty() ? 0 : m_order; }
    // Coordinates to image pixels (continuous: 0,0 is the top-left corner
    // of the image) and back. False where the transformation fails.
    bool to_pixel(double x, double y, double* px, double* py) const;
    bool to_coordinates(double px, double py, double* x, double* y) const;

private:
    MapGeoref() = default;
    // Either way: GDAL's transformer for a georeference by points, else the
    // affine transform or its inverse.
    bool transform(bool toPixel, double x, double y, double* outX, double* outY) const;

    OGRSpatialReference m_srs;
    std::array<double, 6> m_gt{};
    std::array<double, 6> m_inverse{};
    std::vector<ControlPoint> m_points;
    int m_order = 1;
    void* m_transformer = nullptr;
};

// The same spatial reference with longitude (easting) first, as every
// coordinate in this program is given.
OGRSpatialReference traditional(const OGRSpatialReference& srs);

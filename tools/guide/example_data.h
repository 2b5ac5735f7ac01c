// The example of the README's walk-through, and the pieces the tests make
// their data from: GeoTIFFs of an imaginary lakeside town drawn from ground
// coordinates, so that maps in different projections show the same streets,
// and places written in any vector format OGR writes.
#pragma once

#include <string>
#include <vector>

struct ExampleRaster {
    int epsg = 3857;
    double originX = 0;    // the top-left corner, in the raster's coordinates
    double originY = 0;
    double pixelSize = 1;  // in the raster's units, the same across and down
    int width = 1;
    int height = 1;
};

struct ExamplePlace {
    double lon = 0;
    double lat = 0;
    std::string name;
    std::string category;
    std::string description;
    double halfSide = 0;  // above 0: a square of this half side in degrees, not a point
};

// A GeoTIFF (or, with epsg 0, a plain PNG without a georeference) of the
// town as the raster lies on the ground.
bool write_example_raster(const std::string& path, const ExampleRaster& raster, std::string* error);
// The places as a file of the OGR driver ("GeoJSON", "CSV" with X and Y
// columns, "GPX" waypoints with their category as type), in WGS 84.
bool write_example_places(const std::string& path, const std::string& driver, const std::vector<ExamplePlace>& places,
                          std::string* error);

// The walk-through's data: the town in Web Mercator, its old town in UTM
// zone 32N, and the sights.
ExampleRaster example_town();
ExampleRaster example_old_town();
std::vector<ExamplePlace> example_sights();

// mapfolio-guide-example DIR: writes the data of the README's walk-through
// into DIR: town.tif, oldtown.tif, sights.geojson and about.txt.
#include "tools/guide/example_data.h"

#include <cpl_error.h>
#include <gdal.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: mapfolio-guide-example DIR\n", stderr);
        return 2;
    }
    CPLSetErrorHandler(CPLQuietErrorHandler);
    GDALAllRegister();
    const std::string dir = argv[1];
    std::filesystem::create_directories(dir);
    std::string error;
    const bool ok = write_example_raster(dir + "/town.tif", example_town(), &error) &&
                    write_example_raster(dir + "/oldtown.tif", example_old_town(), &error) &&
                    write_example_places(dir + "/sights.geojson", "GeoJSON", example_sights(), &error);
    GDALDestroy();
    std::ofstream(dir + "/about.txt") << "Lakeside lies where the river leaves the lake.\n"
                                         "Boats leave the pier every hour, May to October.\n";
    if (!ok) {
        std::fprintf(stderr, "mapfolio-guide-example: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s: town.tif, oldtown.tif, sights.geojson, about.txt\n", dir.c_str());
    return 0;
}

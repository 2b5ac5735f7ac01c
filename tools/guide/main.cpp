// mapfolio-guide: makes guides from GIS data, on GDAL.
#include "tools/guide/commands.h"
#include "tools/guide/guide.h"

#include <cpl_error.h>
#include <gdal.h>

#include <cstdio>
#include <cstring>

namespace {

struct Command {
    const char* name;
    void (*run)(const std::vector<std::string>&);
};

constexpr Command kCommands[] = {
    {"add-map", run_add_map}, {"georef", run_georef}, {"add-places", run_add_places},
    {"link", run_link},       {"add-topic", run_add_topic},
};

constexpr const char* kUsage =
    "usage: mapfolio-guide COMMAND GUIDE ...\n"
    "       mapfolio-guide --version | --help\n\n"
    "  add-map GUIDE RASTER --name \"NAME[,SECOND,THIRD]\" [--file NAME.DAB]\n"
    "          [--colours N] [--dither] [--max-size PX]\n"
    "                         a raster GDAL reads becomes a map of the guide\n"
    "  georef GUIDE MAP --point PX,PY,LON,LAT ...\n"
    "                         georeferences a map from three or more points\n"
    "  add-places GUIDE MAP SOURCE [--layer L] [--category FIELD | --category-name TEXT]\n"
    "          [--name FIELD] [--description FIELD] [--where EXPR]\n"
    "                         point features of a vector source become places\n"
    "  link GUIDE FROM TO     the related-map record from FROM to TO\n"
    "  add-topic GUIDE MAP TITLE FILE\n"
    "                         an information topic from an HTML or text file\n\n"
    "MAP, FROM and TO name a map by its name or its database file.\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(kUsage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("mapfolio-guide %s\n", MAPFOLIO_VERSION);
        return 0;
    }
    for (const Command& command : kCommands) {
        if (std::strcmp(argv[1], command.name) != 0) continue;
        // GDAL's messages reach the user inside ours, not on their own.
        CPLSetErrorHandler(CPLQuietErrorHandler);
        GDALAllRegister();
        int code = 0;
        try {
            command.run(std::vector<std::string>(argv + 2, argv + argc));
        } catch (const GuideError& e) {
            std::fprintf(stderr, "mapfolio-guide %s: %s\n", command.name, e.what());
            code = 1;
        }
        GDALDestroy();
        return code;
    }
    std::fprintf(stderr, "mapfolio-guide: unknown command '%s'\n%s", argv[1], kUsage);
    return 2;
}

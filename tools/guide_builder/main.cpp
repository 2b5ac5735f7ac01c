// guide-builder: makes the demo guide's databases, pictures and licence file
// from the unpacked data packages. scripts/build-demo-guide runs it.
#include "tools/guide_builder/guide_builder.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* const kUsage =
    "usage: guide-builder --world-atlas DIR --us-atlas DIR --countries-list DIR --world-cities DIR\n"
    "                     --font FILE --bold-font FILE --guide DIR --pictures DIR [--preview DIR]\n";

}  // namespace

int main(int argc, char** argv) {
    BuildInputs in;
    struct Option {
        const char* name;
        std::string* value;
    };
    const Option options[] = {
        {"--world-atlas", &in.worldAtlas}, {"--us-atlas", &in.usAtlas},   {"--countries-list", &in.countriesList},
        {"--world-cities", &in.worldCities}, {"--font", &in.fontRegular}, {"--bold-font", &in.fontBold},
        {"--guide", &in.guideDir},         {"--pictures", &in.pictureDir}, {"--preview", &in.previewDir},
    };
    for (int i = 1; i < argc; ++i) {
        bool known = false;
        for (const Option& o : options) {
            if (std::strcmp(argv[i], o.name) == 0 && i + 1 < argc) {
                *o.value = argv[++i];
                known = true;
                break;
            }
        }
        if (!known) {
            std::fprintf(stderr, "guide-builder: unexpected argument '%s'\n%s", argv[i], kUsage);
            return 2;
        }
    }
    for (const Option& o : options) {
        if (o.value->empty() && std::strcmp(o.name, "--preview") != 0) {
            std::fprintf(stderr, "guide-builder: %s is missing\n%s", o.name, kUsage);
            return 2;
        }
    }
    BuildReport report;
    std::string error;
    if (!build_guide(in, report, error)) {
        std::fprintf(stderr, "guide-builder: %s\n", error.c_str());
        return 1;
    }
    for (const std::string& line : report.lines) std::printf("%s\n", line.c_str());
    std::printf("%d places in all\n", report.places);
    return 0;
}

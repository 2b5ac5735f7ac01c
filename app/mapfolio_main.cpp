// mapfolio: the map guide in a desktop window.
//
//   mapfolio [GUIDE_DIR]
//
// opens the guide in GUIDE_DIR, or in the program's own directory when none
// is given.
#include "app/program_start.h"
#include "app/win_main.h"
#include "mapdb/map_catalogue.h"
#include "platform/win32.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

void usage(std::FILE* out) {
    std::fprintf(out,
                 "usage: mapfolio [GUIDE_DIR]\n"
                 "Opens the map guide in GUIDE_DIR (its .DAB databases and their images) in a window;\n"
                 "without GUIDE_DIR, the guide in the directory the program is in.\n");
}

}  // namespace

int main(int argc, char** argv) {
    std::string guide;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            usage(stdout);
            return 0;
        }
        if (argv[i][0] == '-' || !guide.empty()) {
            usage(stderr);
            return 2;
        }
        guide = argv[i];
    }
    std::string error;
    if (!PrepareProgram(guide, &error)) {
        std::fprintf(stderr, "mapfolio: %s\n", error.c_str());
        return 2;
    }
    platform::choose_display(platform::Display::Window);
    const int code = WinMain(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOWNORMAL);
    FreeAllMaps();
    return code;
}

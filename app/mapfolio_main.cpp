// mapfolio: the map guide in a desktop window.
//
//   mapfolio [GUIDE]
//
// opens the guide GUIDE names (its directory, or one of its .DAB databases);
// without it, the guide in the program's own directory, or else the demo
// guide installed with the program.
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
                 "usage: mapfolio [GUIDE]\n"
                 "Opens a map guide in a window. GUIDE is the guide's directory (its .DAB databases\n"
                 "and their images) or one of its .DAB databases, which opens the guide it is in.\n"
                 "Without GUIDE: the guide in the program's own directory when that holds a HOME.DAB,\n"
                 "else the demo guide installed with the program (../share/mapfolio/guides/demo\n"
                 "from the program's directory).\n"
                 "  --version   print the version and end\n"
                 "  --help      print this text and end\n");
}

}  // namespace

int main(int argc, char** argv) {
    std::string guide;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            usage(stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("mapfolio %s\n", MAPFOLIO_VERSION);
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

// mapfolio-tool: command-line tools for guide authors.
#include "tools/tool_commands.h"

#include <cstdio>
#include <cstring>

namespace {

struct CommandGroup {
    const char* name;
    int (*run)(const ToolArgs&);
    const char* usage;
};

constexpr CommandGroup kGroups[] = {
    {"dab", RunDabCommand,
     "  dab dump FILE          print the parsed records of a .DAB file as JSON\n"
     "  dab check PATH...      check databases or guide directories\n"},
    {"twk", RunTwkCommand,
     "  twk info FILE          the decoder's result, size, colours and interlacing of a map image\n"
     "  twk decode FILE OUT    a map image to OUT.bmp (the decoded bitmap) or OUT.png\n"
     "  twk encode IN OUT      a PNG or GIF to a map image (--dither, --colours N)\n"},
    {"render", RunRenderCommand,
     "  render DAB OUT.png     the database's map as the program draws it, as a PNG\n"
     "                         (--zoom P, --center X,Y, --size WxH, --pan DX,DY repeatable)\n"},
    {"settings", RunSettingsCommand,
     "  settings list          what the program remembers: NAME = TEXT (other types in hex)\n"
     "  settings get NAME      one remembered value\n"
     "  settings set NAME TEXT remember TEXT under NAME\n"
     "  settings delete NAME   forget one value\n"
     "                         (kept in $XDG_CONFIG_HOME/mapfolio, else ~/.config/mapfolio)\n"},
    {"web-index", RunWebIndexCommand,
     "  web-index GUIDE        write GUIDE/guide.json, the files a web page fetches to open the guide\n"},
};

void print_usage(std::FILE* out) {
    std::fputs("usage: mapfolio-tool GROUP COMMAND [ARGS]\n"
               "       mapfolio-tool --version | --help\n\n", out);
    for (const CommandGroup& group : kGroups) std::fputs(group.usage, out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        print_usage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("mapfolio-tool %s\n", MAPFOLIO_VERSION);
        return 0;
    }
    for (const CommandGroup& group : kGroups) {
        if (std::strcmp(argv[1], group.name) == 0) return group.run(ToolArgs(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "mapfolio-tool: unknown command group '%s'\n", argv[1]);
    print_usage(stderr);
    return 2;
}

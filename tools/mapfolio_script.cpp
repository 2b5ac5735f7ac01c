// mapfolio-script: runs the program on the headless screen from a script of
// stylus, key and button steps, prints its state as JSON and writes
// screenshots.
//
//   mapfolio-script [--desktop NAME] [GUIDE [SCRIPT]]
//
// GUIDE names the guide as the program's argument does; without it the run
// opens the guide the program opens without one.
//
// Steps, one a line, from SCRIPT or standard input; coordinates are pixels
// of the main window's client area:
//   tap X Y | press X Y | move X Y | release X Y | wait MS
//   key UP|DOWN|LEFT|RIGHT|RETURN|NUMBER | button TOOLTIP | command ID
//   answer yes|no|ok | shot FILE.png | state | exit | # comment
#include "tools/script_session.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage: mapfolio-script [--desktop NAME] [GUIDE [SCRIPT]]\n"
    "       mapfolio-script --version | --help\n"
    "Runs the program on a headless screen, one step a line from SCRIPT or standard input.\n"
    "GUIDE is the guide's directory or one of its .DAB databases. Without GUIDE: the guide in the\n"
    "program's own directory when that holds a HOME.DAB, else the demo guide installed with the\n"
    "program (../share/mapfolio/guides/demo from the program's directory).\n"
    "After every step the program runs until it is idle. Coordinates are main-window client pixels.\n"
    "  tap X Y            press, and release 50 ms later\n"
    "  press X Y | move X Y | release X Y\n"
    "  wait MS            lets MS milliseconds of the virtual clock pass, firing timers\n"
    "  key K              UP, DOWN, LEFT, RIGHT, RETURN or a key number\n"
    "  button TOOLTIP     taps the menu-bar button with that tool tip\n"
    "  command ID         posts WM_COMMAND ID to the main window\n"
    "  answer yes|no|ok   the next message box is answered with that button\n"
    "  shot FILE.png      writes the device screen\n"
    "  state              prints the program's state as one line of JSON\n"
    "  exit               ends the run; so does the end of the script\n"
    "  # ...              a comment\n"
    "Exit code 0, 2 for a malformed step (its line number is printed), 1 when a shot cannot be written.\n"
    "Runs do not see other copies of the program, unless runs share a --desktop NAME.\n";

}  // namespace

int main(int argc, char** argv) {
    std::string desktop;
    std::string guide;
    std::string script;
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf("mapfolio-script %s\n", MAPFOLIO_VERSION);
            return 0;
        }
        if (arg == "--desktop" && i + 1 < argc) {
            desktop = argv[++i];
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            std::fputs(kUsage, stderr);
            return 2;
        } else if (positional == 0) {
            guide = arg;
            ++positional;
        } else if (positional == 1) {
            script = arg;
            ++positional;
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    // The run is the headless screen's alone: it finds no copy of the
    // program on the user's display, nor another run, unless it shares a
    // named desktop with one.
    unsetenv("MAPFOLIO_BACKEND");
    if (desktop.empty()) {
        unsetenv("MAPFOLIO_HEADLESS_DESKTOP");
    } else {
        setenv("MAPFOLIO_HEADLESS_DESKTOP", desktop.c_str(), 1);
    }
    int fd = 0;
    if (!script.empty() && script != "-") {
        fd = open(script.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            std::fprintf(stderr, "mapfolio-script: cannot open %s: %s\n", script.c_str(), std::strerror(errno));
            return 2;
        }
    }
    const int code = RunScriptSession(guide, fd);
    if (fd > 0) close(fd);
    return code;
}

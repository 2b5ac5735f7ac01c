// The program in a browser page. The page's glue (page.js) fills the
// module's in-memory file system with a guide and calls one of these:
//
//   mapfolio_run(GUIDE)              the guide on the page's canvas; returns
//                                    when the user quits
//   mapfolio_script(GUIDE, STEPS)    the script runner on the headless screen,
//                                    as mapfolio-script runs it
//   mapfolio_state()                 the program's state as a script's state
//                                    step prints it
#include "app/program_start.h"
#include "app/win_main.h"
#include "mapdb/map_catalogue.h"
#include "platform/win32.h"
#include "tools/script_session.h"
#include "tools/script_state.h"

#include <emscripten.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>

namespace {

// The entry point's result once the guide on the canvas has closed.
std::optional<int> g_exited;

}  // namespace

// The object a script's state step prints, as one line of JSON; valid
// until the next call.
extern "C" EMSCRIPTEN_KEEPALIVE const char* mapfolio_state() {
    static std::string json;
    json = ProgramStateJson(g_exited);
    return json.c_str();
}

extern "C" EMSCRIPTEN_KEEPALIVE int mapfolio_script(const char* guide, const char* steps) {
    const int fd = open(steps, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "mapfolio-script: cannot open %s\n", steps);
        return 2;
    }
    const int code = RunScriptSession(guide, fd);
    close(fd);
    return code;
}

extern "C" EMSCRIPTEN_KEEPALIVE int mapfolio_run(const char* guide) {
    std::string error;
    if (!PrepareProgram(guide, &error)) {
        std::fprintf(stderr, "mapfolio: %s\n", error.c_str());
        return 2;
    }
    platform::choose_display(platform::Display::Window);
    g_exited = WinMain(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOWNORMAL);
    FreeAllMaps();
    return *g_exited;
}

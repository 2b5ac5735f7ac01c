// The program in a browser page (mapfolio.wasm). The page's glue (page.js)
// fills the module's in-memory file system with a guide and calls:
//
//   mapfolio_run(GUIDE)    the guide on the page's canvas; returns when the
//                          user quits
//   mapfolio_state()       the program's state as a script's state step
//                          prints it
#include "app/program_start.h"
#include "app/win_main.h"
#include "mapdb/map_catalogue.h"
#include "platform/win32.h"
#include "tools/script_state.h"

#include <emscripten.h>

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

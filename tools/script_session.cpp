#include "tools/script_session.h"

#include "app/main_window_state.h"
#include "app/program_start.h"
#include "app/win_main.h"
#include "mapdb/map_catalogue.h"
#include "platform/testing/headless.h"
#include "platform/win32.h"
#include "tools/script_runner.h"

#include <cstdio>

int RunScriptSession(const std::string& guide, int fd) {
    platform::choose_display(platform::Display::Headless);
    std::string error;
    if (!PrepareProgram(guide, &error)) {
        std::fprintf(stderr, "mapfolio-script: %s\n", error.c_str());
        return 2;
    }
    ScriptReader reader(fd);
    ScriptRunner runner(reader);
    platform::headless::set_idle_handler([&runner] { return runner.OnIdle(); });
    const int code = WinMain(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOWNORMAL);
    if (!runner.Ending()) runner.RunAfterExit(code);

    // What the program left behind is let go of in order.
    platform::headless::set_idle_handler(nullptr);
    g_mainState.ForgetMaps();
    FreeAllMaps();
    platform::headless::reset();
    return runner.ExitCode();
}

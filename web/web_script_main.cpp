// The script runner in a browser page (mapfolio-script.wasm), for the page's
// script mode: the program on the headless screen with its virtual clock,
// exactly as mapfolio-script runs it. The page's glue (page.js) starts a
// fresh module for every script, lays the guide and the steps out in its
// in-memory file system, and calls mapfolio_script(GUIDE, STEPS); what the
// steps print comes out on standard output, and shots land in the file
// system.
#include "tools/script_session.h"

#include <emscripten.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

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

// One run of the script runner: the program on the headless screen, on the
// guide the argument names as the program's own argument does, fed its
// steps from a file descriptor. mapfolio-script and the web page's script
// mode both run it.
#pragma once

#include <string>

// Returns the run's exit code (mapfolio-script's); what fails is written to
// standard error. The program is let go of at the end, so another run may
// follow in the same process.
int RunScriptSession(const std::string& guide, int fd);

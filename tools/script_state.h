// The program's state as mapfolio-script prints it: one line of JSON read
// from the running program (its main window state, catalogue, loading log,
// menu bar, message box) and from the headless screen and sound record.
#pragma once

#include <optional>
#include <string>

// exited is the entry point's result once the program has ended.
std::string ProgramStateJson(std::optional<int> exited);

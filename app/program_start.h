// What the program and the script runner do before the entry point: the
// program's resources are registered and the program is pointed at its
// guide.
#pragma once

#include <string>

// Registers the resources and, when guideDirectory is not empty, makes it
// the directory the program takes for its own, so that the guide there is
// the one opened. False, with the reason, when guideDirectory is not a
// directory or its path is too long for the program's paths.
bool PrepareProgram(const std::string& guideDirectory, std::string* error);

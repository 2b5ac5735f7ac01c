// What the program and the script runner do before the entry point: the
// program's resources are registered and the program is pointed at its
// guide.
#pragma once

#include <optional>
#include <string>

// Where the guide named by the program's argument is. A directory is the
// guide; a .DAB database (the suffix in any letter case) stands for the
// guide of its directory. Without an argument: programDirectory when it
// holds a HOME.DAB; else the demo guide installed beside the program,
// programDirectory/../share/mapfolio/guides/demo, so that an installed tree
// still finds it after being moved; when that is missing too,
// programDirectory, where the loading log then says what is not there.
// Nullopt, with the reason, for an argument that is neither, and without an
// argument when programDirectory is empty (unknown).
std::optional<std::string> FindGuideDirectory(const std::string& argument, const std::string& programDirectory,
                                              std::string* error);

// Registers the resources and makes the guide that guideArgument names (as
// FindGuideDirectory reads it, from the program's own directory) the
// directory the program takes for its own, so that the guide there is the
// one opened. False, with the reason, when the argument names no guide or
// the guide's path is too long for the program's paths.
bool PrepareProgram(const std::string& guideArgument, std::string* error);

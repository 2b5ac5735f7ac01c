// The command groups of mapfolio-tool. Each takes the arguments after its
// group name and returns the process exit code.
#pragma once

#include <string>
#include <vector>

using ToolArgs = std::vector<std::string>;

int RunDabCommand(const ToolArgs& args);
int RunTwkCommand(const ToolArgs& args);
int RunRenderCommand(const ToolArgs& args);
int RunSettingsCommand(const ToolArgs& args);
int RunWebIndexCommand(const ToolArgs& args);

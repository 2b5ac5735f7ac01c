// The commands of mapfolio-guide and the reading of their arguments. Each
// command throws GuideError for bad input, before it has written anything.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

struct CommandLine {
    std::vector<std::string> positional;
    std::map<std::string, std::vector<std::string>> values;  // option -> each value given
    std::set<std::string> flags;

    bool has(const std::string& option) const { return values.count(option) > 0; }
    // The option's last value, or fallback.
    std::string value(const std::string& option, const std::string& fallback = "") const;
};

// Reads args: options in withValue take the next argument, those in flags
// none; anything else starting with "--" is refused, and there must be
// exactly `positional` other arguments.
CommandLine parse_command_line(const std::vector<std::string>& args, std::size_t positional,
                               const std::set<std::string>& withValue, const std::set<std::string>& flags = {});
// A whole number of the option, from low to high.
int int_option(const CommandLine& line, const std::string& option, int fallback, int low, int high);

void run_add_map(const std::vector<std::string>& args);
void run_georef(const std::vector<std::string>& args);
void run_add_places(const std::vector<std::string>& args);
void run_link(const std::vector<std::string>& args);
void run_add_topic(const std::vector<std::string>& args);

#include "tools/guide/commands.h"
#include "tools/guide/guide.h"

#include <cstdlib>

std::string CommandLine::value(const std::string& option, const std::string& fallback) const {
    auto it = values.find(option);
    return it == values.end() ? fallback : it->second.back();
}

CommandLine parse_command_line(const std::vector<std::string>& args, std::size_t positional,
                               const std::set<std::string>& withValue, const std::set<std::string>& flags) {
    CommandLine line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (withValue.count(a)) {
            if (i + 1 >= args.size()) throw GuideError(a + " needs a value");
            line.values[a].push_back(args[++i]);
        } else if (flags.count(a)) {
            line.flags.insert(a);
        } else if (a.starts_with("--")) {
            throw GuideError("unknown option " + a);
        } else {
            line.positional.push_back(a);
        }
    }
    if (line.positional.size() != positional) {
        throw GuideError("takes " + std::to_string(positional) + " arguments besides its options, not " +
                         std::to_string(line.positional.size()) + " (see mapfolio-guide --help)");
    }
    return line;
}

int int_option(const CommandLine& line, const std::string& option, int fallback, int low, int high) {
    if (!line.has(option)) return fallback;
    const std::string text = line.value(option);
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < low || v > high) {
        throw GuideError(option + " takes a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                         ", not \"" + text + "\"");
    }
    return static_cast<int>(v);
}

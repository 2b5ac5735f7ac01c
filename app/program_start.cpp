#include "app/program_start.h"

#include "mapdb/module_directory.h"
#include "platform/win32.h"
#include "resources/program_resources.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>

namespace {

// Where an installed tree keeps the demo guide, seen from its bin/.
constexpr const char* kInstalledDemoGuide = "../share/mapfolio/guides/demo";

bool is_directory(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool is_file(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool has_database_suffix(const std::string& path) {
    if (path.size() < 4) return false;
    const std::string suffix = path.substr(path.size() - 4);
    return suffix[0] == '.' && (suffix[1] | 0x20) == 'd' && (suffix[2] | 0x20) == 'a' && (suffix[3] | 0x20) == 'b';
}

std::string with_slash(std::string directory) {
    if (directory.empty() || directory.back() != '/') directory += '/';
    return directory;
}

// The home map is found as the catalogue finds it: by name, without regard
// to case.
bool holds_home_map(const std::string& directory) {
    const std::u16string pattern = platform::from_utf8(with_slash(directory) + "HOME.DAB");
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(pattern.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return false;
    bool file = false;
    do {
        file = file || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    } while (!file && FindNextFileW(find, &found));
    FindClose(find);
    return file;
}

std::string program_directory() {
    WCHAR directory[MAX_PATH];
    if (!GetModuleDirectory(directory)) return {};
    return platform::to_utf8(directory);
}

}  // namespace

std::optional<std::string> FindGuideDirectory(const std::string& argument, const std::string& programDirectory,
                                              std::string* error) {
    if (argument.empty()) {
        if (programDirectory.empty()) {
            *error = "the program's own directory is not known";
            return std::nullopt;
        }
        if (holds_home_map(programDirectory)) return programDirectory;
        const std::string installed = with_slash(programDirectory) + kInstalledDemoGuide;
        return is_directory(installed) ? installed : programDirectory;
    }
    if (is_directory(argument)) return argument;
    if (is_file(argument) && has_database_suffix(argument)) {
        const auto slash = argument.rfind('/');
        if (slash == std::string::npos) return std::string(".");
        return slash == 0 ? std::string("/") : argument.substr(0, slash);
    }
    struct stat info {};
    *error = stat(argument.c_str(), &info) != 0 ? argument + " does not exist"
                                                 : argument + " is neither a guide directory nor a .DAB database";
    return std::nullopt;
}

bool PrepareProgram(const std::string& guideArgument, std::string* error) {
    RegisterProgramResources();
    const std::optional<std::string> guide = FindGuideDirectory(guideArgument, program_directory(), error);
    if (!guide) {
        // Without an argument the program still starts, and its loading log
        // tells that the guide is missing.
        return guideArgument.empty();
    }
    // The program builds its paths from its own, so it is made absolute:
    // the working directory then does not matter.
    char* real = realpath(guide->c_str(), nullptr);
    if (real == nullptr) {
        *error = *guide + " cannot be resolved";
        return false;
    }
    const std::u16string directory = platform::from_utf8(real);
    std::free(real);
    // Room must be left behind the directory for a database's name.
    constexpr std::size_t kRoomForNames = 20;
    if (directory.size() + kRoomForNames >= MAX_PATH) {
        *error = "the path of " + *guide + " is too long: at most " +
                 std::to_string(MAX_PATH - kRoomForNames - 1) + " characters";
        return false;
    }
    platform::set_module_directory(directory);
    return true;
}

#include "app/program_start.h"

#include "platform/win32.h"
#include "resources/program_resources.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>

bool PrepareProgram(const std::string& guideDirectory, std::string* error) {
    RegisterProgramResources();
    if (guideDirectory.empty()) return true;
    struct stat info {};
    if (stat(guideDirectory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        *error = guideDirectory + " is not a directory";
        return false;
    }
    // The program builds its paths from its own, so it is made absolute:
    // the working directory then does not matter.
    char* real = realpath(guideDirectory.c_str(), nullptr);
    if (real == nullptr) {
        *error = guideDirectory + " cannot be resolved";
        return false;
    }
    const std::u16string directory = platform::from_utf8(real);
    std::free(real);
    // Room must be left behind the directory for a database's name.
    constexpr std::size_t kRoomForNames = 20;
    if (directory.size() + kRoomForNames >= MAX_PATH) {
        *error = "the path of " + guideDirectory + " is too long: at most " +
                 std::to_string(MAX_PATH - kRoomForNames - 1) + " characters";
        return false;
    }
    platform::set_module_directory(directory);
    return true;
}

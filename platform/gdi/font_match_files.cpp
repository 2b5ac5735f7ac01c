#include "platform/gdi/font_match.h"

#include <sys/stat.h>

namespace platform::gdi {
namespace {

// Where Debian's fonts-dejavu packages put them; the web page lays the same
// files out at the same place in its file system.
constexpr const char* kDirectory = "/usr/share/fonts/truetype/dejavu/";

// DejaVu Sans in its four styles, by bold * 2 + italic.
constexpr const char* kFaces[] = {"DejaVuSans.ttf", "DejaVuSans-Oblique.ttf", "DejaVuSans-Bold.ttf",
                                  "DejaVuSans-BoldOblique.ttf"};

bool exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

// Every family is DejaVu Sans, as fontconfig substitutes it for a family
// it does not have. A style whose file is missing falls back to the nearest
// one there, and the engine makes up the weight or slant, as with fontconfig.
FontMatch match_font(const std::string&, bool bold, bool italic) {
    for (const bool keepBold : {bold, false}) {
        for (const bool keepItalic : {italic, false}) {
            const std::string file = std::string(kDirectory) + kFaces[(keepBold ? 2 : 0) + (keepItalic ? 1 : 0)];
            if (exists(file)) return FontMatch{file, 0, keepBold, keepItalic};
        }
    }
    return FontMatch{};
}

}  // namespace platform::gdi

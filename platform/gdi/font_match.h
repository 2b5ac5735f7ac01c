// Platform internal: the font file that draws a family in a weight and
// slant. The desktop asks fontconfig; a build without fontconfig (the web
// page) knows its DejaVu files.
#pragma once

#include <string>

namespace platform::gdi {

struct FontMatch {
    std::string file;  // empty when nothing matches
    int index = 0;     // the face's index in the file
    bool bold = false;   // the face itself is bold, not made so
    bool italic = false; // the face itself is slanted
};

FontMatch match_font(const std::string& family, bool bold, bool italic);

}  // namespace platform::gdi

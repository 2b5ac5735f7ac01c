// Platform internal: writes a 32-bit surface as an 8-bit RGB PNG file.
#pragma once

#include "platform/gdi/surface.h"

#include <string>

namespace platform::headless {

bool write_png_file(const Surface& surface, const std::string& path, std::string* error);

}  // namespace platform::headless

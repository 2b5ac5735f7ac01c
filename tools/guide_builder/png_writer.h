// Writes a canvas as an 8-bit palette PNG. The file holds nothing that
// changes from run to run (no time stamp), so the same picture always gives
// the same bytes.
#pragma once

#include "tools/guide_builder/canvas.h"

#include <string>

// False, with the reason in error, when the palette has more than 256
// entries, a pixel indexes past the palette, or the file cannot be written.
bool write_palette_png(const std::string& path, const Canvas& canvas, const Palette& palette, std::string& error);

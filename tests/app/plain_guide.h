// Guides of one-colour maps made in a temporary directory, for the cases
// that need places and related-map links at chosen map pixels, and the
// screen shots of a run read back.
#pragma once

#include "tests/support/test_files.h"
#include "tools/indexed_image.h"

#include <cstdint>
#include <memory>
#include <string>

namespace app_test {

// The colour of every plain map, as 0xRRGGBB.
constexpr std::uint32_t kPlainLand = 0xF0E8D0;

class PlainGuide {
public:
    // Writes the database file for the map name with a plain image of
    // width x height pixels, followed by sections (lines ending in "\n", as
    // a database holds them: <Locations>, <Related Maps> ...).
    void add_map(const std::string& file, const std::string& name, int width, int height,
                 const std::string& sections = "") const;
    const std::string& path() const { return m_dir->path(); }
    std::string file(const std::string& name) const { return m_dir->file(name); }

private:
    // Held apart, so that a guide can be handed on.
    std::unique_ptr<testing_support::TempDir> m_dir = std::make_unique<testing_support::TempDir>();
};

// A shot written by a run, as 0xRRGGBB pixels.
class Shot {
public:
    explicit Shot(const std::string& path);
    int width() const { return m_image.width; }
    int height() const { return m_image.height; }
    // The pixel at screen (x, y); 0xFFFFFFFF outside.
    std::uint32_t at(int x, int y) const;
    // The pixel at (x, y) of the main window's client area, which starts
    // below the 26-pixel navigation bar.
    std::uint32_t client(int x, int y) const { return at(x, y + 26); }
    // How many pixels of the client rows [top, bottom) have the colour.
    int count_in_client(std::uint32_t rgb, int top, int bottom) const;

private:
    RgbImage m_image;
};

}  // namespace app_test

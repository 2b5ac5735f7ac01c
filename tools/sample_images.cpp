#include "tools/sample_images.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace {

class Canvas {
public:
    explicit Canvas(IndexedImage& image) : m_image(image) {}
    void fill(int left, int top, int right, int bottom, std::uint8_t colour) {
        left = std::max(left, 0);
        top = std::max(top, 0);
        right = std::min(right, m_image.width);
        bottom = std::min(bottom, m_image.height);
        for (int y = top; y < bottom; ++y) {
            std::fill_n(m_image.pixels.begin() + static_cast<std::ptrdiff_t>(y) * m_image.width + left, std::max(0, right - left), colour);
        }
    }
    void dot(int x, int y, std::uint8_t colour) {
        if (x >= 0 && y >= 0 && x < m_image.width && y < m_image.height) {
            m_image.pixels[static_cast<std::size_t>(y) * m_image.width + x] = colour;
        }
    }
    // A straight road of the given thickness, drawn as a run of squares.
    void line(int x0, int y0, int x1, int y1, int thickness, std::uint8_t colour) {
        const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
        for (int i = 0; i <= steps; ++i) {
            const int x = x0 + (steps ? (x1 - x0) * i / steps : 0);
            const int y = y0 + (steps ? (y1 - y0) * i / steps : 0);
            fill(x - thickness / 2, y - thickness / 2, x - thickness / 2 + thickness, y - thickness / 2 + thickness, colour);
        }
    }

private:
    IndexedImage& m_image;
};

enum MapColour : std::uint8_t {
    kPaper, kPark, kWater, kBlock, kBuilding, kBuildingEdge, kRoadEdge, kRoad, kMainRoad, kMainRoadEdge, kRail, kLabel,
    kLabelHalo, kPlaza, kSand, kForest, kBuilding2, kBuilding3, kBuilding4, kPath, kContour, kColourCount
};

}  // namespace

IndexedImage make_street_map(int width, int height, std::uint32_t seed) {
    IndexedImage image;
    image.width = width;
    image.height = height;
    image.palette = {{242, 239, 233}, {200, 230, 180}, {170, 211, 223}, {224, 220, 212}, {217, 208, 201}, {190, 180, 172},
                     {180, 180, 180}, {255, 255, 255}, {252, 214, 164}, {200, 150, 90},  {110, 110, 110}, {40, 40, 40},
                     {250, 250, 250}, {235, 225, 235}, {240, 230, 190}, {173, 209, 158}, {210, 200, 196},
                     {222, 212, 200}, {205, 198, 205}, {160, 130, 110}, {214, 190, 160}};
    image.pixels.assign(static_cast<std::size_t>(width) * height, kPaper);
    std::mt19937 random(seed);
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    Canvas canvas(image);

    // City blocks between streets on a jittered grid; some are parks,
    // water or squares, the rest carry buildings.
    std::vector<int> columns{0};
    while (columns.back() < width) columns.push_back(columns.back() + uniform(40, 140));
    std::vector<int> rows{0};
    while (rows.back() < height) rows.push_back(rows.back() + uniform(40, 140));
    for (std::size_t r = 0; r + 1 < rows.size(); ++r) {
        for (std::size_t c = 0; c + 1 < columns.size(); ++c) {
            const int left = columns[c] + 6;
            const int top = rows[r] + 6;
            const int right = columns[c + 1] - 6;
            const int bottom = rows[r + 1] - 6;
            const int kind = uniform(0, 19);
            if (kind < 2) {
                canvas.fill(left, top, right, bottom, kPark);
                for (int i = 0; i < (right - left) * (bottom - top) / 100; ++i) {
                    const int x = uniform(left, right);
                    const int y = uniform(top, bottom);
                    const int r = uniform(1, 4);
                    canvas.fill(x - r, y - r, x + r, y + r, kForest);
                }
                // A dotted footpath across the park.
                const int py = uniform(top, bottom);
                for (int x = left; x < right; x += 3) canvas.dot(x, py + (x - left) / 7 % 3, kPath);
            } else if (kind < 3) {
                canvas.fill(left, top, right, bottom, kWater);
            } else if (kind < 4) {
                canvas.fill(left, top, right, bottom, kPlaza);
            } else {
                canvas.fill(left, top, right, bottom, kBlock);
                for (int y = top + 4; y < bottom - 12; y += uniform(14, 30)) {
                    for (int x = left + 4; x < right - 12; x += uniform(14, 34)) {
                        const int w = uniform(8, 24);
                        const int h = uniform(8, 20);
                        canvas.fill(x, y, std::min(x + w, right - 4), std::min(y + h, bottom - 4), kBuildingEdge);
                        const std::uint8_t shades[] = {kBuilding, kBuilding2, kBuilding3, kBuilding4};
                        canvas.fill(x + 1, y + 1, std::min(x + w, right - 4) - 1, std::min(y + h, bottom - 4) - 1,
                                    shades[uniform(0, 3)]);
                        // The house number.
                        for (int b = 0; b < 9; ++b) {
                            if (uniform(0, 1)) canvas.dot(x + 3 + b % 3, y + 3 + b / 3, kBuildingEdge);
                        }
                    }
                }
            }
        }
    }
    // Streets along the grid, a few main roads, a river and a railway.
    for (int x : columns) {
        canvas.fill(x - 6, 0, x + 6, height, kRoadEdge);
        canvas.fill(x - 5, 0, x + 5, height, kRoad);
    }
    for (int y : rows) {
        canvas.fill(0, y - 6, width, y + 6, kRoadEdge);
        canvas.fill(0, y - 5, width, y + 5, kRoad);
    }
    for (int i = 0; i < std::max(2, width / 800); ++i) {
        const int x0 = uniform(0, width), x1 = uniform(0, width);
        canvas.line(x0, 0, x1, height, 16, kMainRoadEdge);
        canvas.line(x0, 0, x1, height, 12, kMainRoad);
        const int y0 = uniform(0, height), y1 = uniform(0, height);
        canvas.line(0, y0, width, y1, 14, kSand);
        canvas.line(0, y0, width, y1, 10, kWater);
    }
    // Contour lines: gentle waves over everything but the roads.
    const int contours = height / 20;
    for (int i = 0; i < contours; ++i) {
        const int y0 = uniform(0, height);
        const double amplitude = uniform(5, 60);
        const double wavelength = uniform(80, 400);
        for (int x = 0; x < width; ++x) {
            const int y = y0 + static_cast<int>(amplitude * std::sin(x / wavelength + i));
            if (y >= 0 && y < height) {
                std::uint8_t& p = image.pixels[static_cast<std::size_t>(y) * width + x];
                if (p != kRoad && p != kRoadEdge && p != kMainRoad) p = kContour;
            }
        }
    }
    const int railY = uniform(0, height);
    canvas.line(0, railY, width, railY + uniform(-height / 4, height / 4), 3, kRail);

    // Labels: rows of 5 x 7 letters on a halo, scattered over the map.
    std::vector<std::uint64_t> glyphs(26);
    for (auto& g : glyphs) g = std::uniform_int_distribution<std::uint64_t>()(random) & ((std::uint64_t{1} << 35) - 1);
    const int labels = width * height / 2500;
    for (int i = 0; i < labels; ++i) {
        const int letters = uniform(4, 12);
        const int x0 = uniform(0, width);
        const int y0 = uniform(0, height);
        canvas.fill(x0 - 2, y0 - 2, x0 + letters * 6 + 1, y0 + 9, kLabelHalo);
        for (int l = 0; l < letters; ++l) {
            const std::uint64_t g = glyphs[static_cast<std::size_t>(uniform(0, 25))];
            for (int b = 0; b < 35; ++b) {
                if (g >> b & 1) canvas.dot(x0 + l * 6 + b % 5, y0 + b / 5, kLabel);
            }
        }
    }
    return image;
}

IndexedImage make_photo(int width, int height, std::uint32_t seed) {
    IndexedImage image;
    image.width = width;
    image.height = height;
    // A ramp of 256 colours as seen from the air: forest, fields, bare
    // ground, rock.
    constexpr double kStops[][4] = {{0.0, 20, 50, 20}, {0.4, 70, 110, 40}, {0.7, 160, 140, 80}, {1.0, 230, 225, 210}};
    for (int i = 0; i < 256; ++i) {
        const double t = i / 255.0;
        int k = 0;
        while (k < 2 && t > kStops[k + 1][0]) ++k;
        const double f = (t - kStops[k][0]) / (kStops[k + 1][0] - kStops[k][0]);
        auto mix = [&](int c) { return static_cast<std::uint8_t>(std::lround(kStops[k][c] + (kStops[k + 1][c] - kStops[k][c]) * f)); };
        image.palette.push_back(Rgb{mix(1), mix(2), mix(3)});
    }
    std::mt19937 random(seed);
    // Smooth shading: value noise on three scales, interpolated.
    struct Octave {
        int cell;
        double weight;
        std::vector<double> grid;
        int columns;
    };
    std::vector<Octave> octaves;
    for (auto [cell, weight] : {std::pair{400, 0.6}, std::pair{90, 0.3}, std::pair{20, 0.1}}) {
        Octave o{cell, weight, {}, width / cell + 2};
        const int rows = height / cell + 2;
        std::uniform_real_distribution<double> value(0.0, 1.0);
        for (int i = 0; i < o.columns * rows; ++i) o.grid.push_back(value(random));
        octaves.push_back(std::move(o));
    }
    std::uniform_int_distribution<int> grain(-1, 1);
    image.pixels.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double v = 0;
            for (const Octave& o : octaves) {
                const int gx = x / o.cell;
                const int gy = y / o.cell;
                const double fx = static_cast<double>(x % o.cell) / o.cell;
                const double fy = static_cast<double>(y % o.cell) / o.cell;
                auto at = [&](int cx, int cy) { return o.grid[static_cast<std::size_t>(cy) * o.columns + cx]; };
                const double top = at(gx, gy) * (1 - fx) + at(gx + 1, gy) * fx;
                const double bottom = at(gx, gy + 1) * (1 - fx) + at(gx + 1, gy + 1) * fx;
                v += o.weight * (top * (1 - fy) + bottom * fy);
            }
            image.pixels[static_cast<std::size_t>(y) * width + x] =
                static_cast<std::uint8_t>(std::clamp(static_cast<int>(v * 255) + grain(random), 0, 255));
        }
    }
    return image;
}

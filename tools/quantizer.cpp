#include "tools/quantizer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <unordered_map>

namespace {

std::uint32_t pack(const Rgb& c) { return std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b; }

struct Colour {
    std::array<int, 3> c;  // r, g, b
    std::uint32_t count;
};

// A box of colours in the histogram, cut along its widest side at the
// median pixel until there are enough boxes.
struct Box {
    std::size_t begin;
    std::size_t end;
    std::uint64_t pixels;
    int axis;
    int range;
    double error;  // sum of squared distances to the box's mean, by pixel
};

Box describe(const std::vector<Colour>& colours, std::size_t begin, std::size_t end) {
    Box box{begin, end, 0, 0, 0, 0};
    std::array<int, 3> lo{255, 255, 255};
    std::array<int, 3> hi{0, 0, 0};
    std::array<double, 3> sum{};
    std::array<double, 3> sumSq{};
    for (std::size_t i = begin; i < end; ++i) {
        const Colour& c = colours[i];
        box.pixels += c.count;
        for (int a = 0; a < 3; ++a) {
            lo[a] = std::min(lo[a], c.c[a]);
            hi[a] = std::max(hi[a], c.c[a]);
            sum[a] += static_cast<double>(c.c[a]) * c.count;
            sumSq[a] += static_cast<double>(c.c[a]) * c.c[a] * c.count;
        }
    }
    for (int a = 0; a < 3; ++a) {
        box.error += sumSq[a] - sum[a] * sum[a] / static_cast<double>(box.pixels);
        if (hi[a] - lo[a] > box.range) {
            box.range = hi[a] - lo[a];
            box.axis = a;
        }
    }
    return box;
}

std::vector<Rgb> median_cut(std::vector<Colour>& colours, int maxColours) {
    std::vector<Box> boxes{describe(colours, 0, colours.size())};
    while (static_cast<int>(boxes.size()) < maxColours) {
        // Cut the box that holds the most error and can still be cut.
        auto worst = boxes.end();
        for (auto it = boxes.begin(); it != boxes.end(); ++it) {
            if (it->end - it->begin >= 2 && (worst == boxes.end() || it->error > worst->error)) worst = it;
        }
        if (worst == boxes.end()) break;
        Box box = *worst;
        const int axis = box.axis;
        std::sort(colours.begin() + static_cast<std::ptrdiff_t>(box.begin), colours.begin() + static_cast<std::ptrdiff_t>(box.end),
                  [axis](const Colour& a, const Colour& b) { return a.c[axis] < b.c[axis]; });
        std::uint64_t half = box.pixels / 2;
        std::uint64_t seen = 0;
        std::size_t cut = box.begin;
        while (cut < box.end - 1 && seen + colours[cut].count <= half) seen += colours[cut++].count;
        if (cut == box.begin) cut = box.begin + 1;
        *worst = describe(colours, box.begin, cut);
        boxes.push_back(describe(colours, cut, box.end));
    }
    std::vector<Rgb> palette;
    for (const Box& box : boxes) {
        std::array<double, 3> sum{};
        for (std::size_t i = box.begin; i < box.end; ++i) {
            for (int a = 0; a < 3; ++a) sum[a] += static_cast<double>(colours[i].c[a]) * colours[i].count;
        }
        auto mean = [&](int a) { return static_cast<std::uint8_t>(std::lround(sum[a] / static_cast<double>(box.pixels))); };
        palette.push_back(Rgb{mean(0), mean(1), mean(2)});
    }
    return palette;
}

int distance(const std::array<int, 3>& c, const Rgb& p) {
    const int dr = c[0] - p.r;
    const int dg = c[1] - p.g;
    const int db = c[2] - p.b;
    return dr * dr + dg * dg + db * db;
}

int nearest(const std::array<int, 3>& c, const std::vector<Rgb>& palette) {
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int d = distance(c, palette[i]);
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

// Moves each palette colour to the mean of the colours nearest to it.
void refine(const std::vector<Colour>& colours, std::vector<Rgb>& palette, int rounds) {
    for (int round = 0; round < rounds; ++round) {
        std::vector<std::array<double, 4>> sums(palette.size(), std::array<double, 4>{});
        for (const Colour& c : colours) {
            auto& s = sums[static_cast<std::size_t>(nearest(c.c, palette))];
            for (int a = 0; a < 3; ++a) s[a] += static_cast<double>(c.c[a]) * c.count;
            s[3] += c.count;
        }
        bool moved = false;
        for (std::size_t i = 0; i < palette.size(); ++i) {
            if (sums[i][3] == 0) continue;
            auto mean = [&](int a) { return static_cast<std::uint8_t>(std::lround(sums[i][a] / sums[i][3])); };
            Rgb m{mean(0), mean(1), mean(2)};
            moved = moved || !(m == palette[i]);
            palette[i] = m;
        }
        if (!moved) break;
    }
}

// Nearest palette index for every 24-bit colour, found once per colour.
class NearestCache {
public:
    explicit NearestCache(const std::vector<Rgb>& palette)
        : m_palette(palette), m_index(std::make_unique<std::uint16_t[]>(std::size_t{1} << 24)) {
        std::fill_n(m_index.get(), std::size_t{1} << 24, kUnknown);
    }
    int find(const std::array<int, 3>& c) {
        std::uint16_t& slot = m_index[static_cast<std::size_t>(c[0]) << 16 | static_cast<std::size_t>(c[1]) << 8 | static_cast<std::size_t>(c[2])];
        if (slot == kUnknown) slot = static_cast<std::uint16_t>(nearest(c, m_palette));
        return slot;
    }

private:
    static constexpr std::uint16_t kUnknown = 0xFFFF;
    const std::vector<Rgb>& m_palette;
    std::unique_ptr<std::uint16_t[]> m_index;
};

}  // namespace

std::optional<IndexedImage> index_exact(const RgbImage& image, int maxColours) {
    IndexedImage out;
    out.width = image.width;
    out.height = image.height;
    out.pixels.resize(image.pixels.size());
    std::unordered_map<std::uint32_t, std::uint8_t> index;
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        const std::uint32_t key = pack(image.pixels[i]);
        auto it = index.find(key);
        if (it == index.end()) {
            if (static_cast<int>(out.palette.size()) >= maxColours) return std::nullopt;
            it = index.emplace(key, static_cast<std::uint8_t>(out.palette.size())).first;
            out.palette.push_back(image.pixels[i]);
        }
        out.pixels[i] = it->second;
    }
    return out;
}

IndexedImage quantize(const RgbImage& image, int maxColours, bool dither) {
    maxColours = std::clamp(maxColours, 1, 256);
    // The palette is chosen from colours gathered in bins of 5 bits a
    // channel, each bin standing at the mean of its colours: enough to place
    // 256 colours well, and it bounds the work for a photograph.
    struct Bin {
        std::array<std::uint64_t, 3> sum{};
        std::uint32_t count = 0;
    };
    std::vector<Bin> bins(std::size_t{1} << 15);
    for (const Rgb& p : image.pixels) {
        Bin& bin = bins[static_cast<std::size_t>(p.r >> 3) << 10 | static_cast<std::size_t>(p.g >> 3) << 5 | (p.b >> 3)];
        bin.sum[0] += p.r;
        bin.sum[1] += p.g;
        bin.sum[2] += p.b;
        ++bin.count;
    }
    std::vector<Colour> colours;
    for (const Bin& bin : bins) {
        if (bin.count == 0) continue;
        Colour c{{}, bin.count};
        for (int a = 0; a < 3; ++a) c.c[a] = static_cast<int>((bin.sum[a] + bin.count / 2) / bin.count);
        colours.push_back(c);
    }
    IndexedImage out;
    out.width = image.width;
    out.height = image.height;
    out.pixels.resize(image.pixels.size());
    if (colours.empty()) return out;
    out.palette = median_cut(colours, maxColours);
    refine(colours, out.palette, 8);

    NearestCache cache(out.palette);
    if (!dither) {
        for (std::size_t i = 0; i < image.pixels.size(); ++i) {
            const Rgb& p = image.pixels[i];
            out.pixels[i] = static_cast<std::uint8_t>(cache.find({p.r, p.g, p.b}));
        }
        return out;
    }
    // Floyd-Steinberg: 7/16 right, 3/16 down-left, 5/16 down, 1/16 down-right,
    // kept in two rows of error (in sixteenths).
    const int w = image.width;
    std::vector<std::array<int, 3>> here(static_cast<std::size_t>(w) + 2), below(static_cast<std::size_t>(w) + 2);
    for (int y = 0; y < image.height; ++y) {
        std::fill(below.begin(), below.end(), std::array<int, 3>{});
        for (int x = 0; x < w; ++x) {
            const Rgb& p = image.at(x, y);
            std::array<int, 3> want{p.r, p.g, p.b};
            for (int a = 0; a < 3; ++a) want[a] = std::clamp(want[a] + here[static_cast<std::size_t>(x) + 1][a] / 16, 0, 255);
            const int index = cache.find(want);
            out.pixels[static_cast<std::size_t>(y) * w + x] = static_cast<std::uint8_t>(index);
            const Rgb& got = out.palette[static_cast<std::size_t>(index)];
            const std::array<int, 3> error{want[0] - got.r, want[1] - got.g, want[2] - got.b};
            for (int a = 0; a < 3; ++a) {
                here[static_cast<std::size_t>(x) + 2][a] += error[a] * 7;
                below[static_cast<std::size_t>(x)][a] += error[a] * 3;
                below[static_cast<std::size_t>(x) + 1][a] += error[a] * 5;
                below[static_cast<std::size_t>(x) + 2][a] += error[a];
            }
        }
        std::swap(here, below);
    }
    return out;
}

IndexedImage fit_palette(const RgbImage& image, int maxColours, bool dither, bool* reduced) {
    if (auto exact = index_exact(image, maxColours)) {
        *reduced = false;
        return std::move(*exact);
    }
    *reduced = true;
    return quantize(image, maxColours, dither);
}

IndexedImage fit_palette(const IndexedImage& image, int maxColours, bool dither, bool* reduced) {
    if (static_cast<int>(image.palette.size()) <= maxColours) {
        *reduced = false;
        return image;
    }
    RgbImage rgb{image.width, image.height, {}};
    rgb.pixels.reserve(image.pixels.size());
    for (std::uint8_t i : image.pixels) rgb.pixels.push_back(i < image.palette.size() ? image.palette[i] : Rgb{});
    return fit_palette(rgb, maxColours, dither, reduced);
}

#include "tools/guide_builder/map_renderer.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace {

const char* const kContinentOrder[] = {"AF", "AN", "AS", "EU", "NA", "OC", "SA"};

// Calm base colours, one per continent, light enough for dark text.
const Rgb kContinentBase[] = {
    {233, 216, 166},  // Africa: sand
    {242, 242, 238},  // Antarctica: ice
    {238, 200, 172},  // Asia: peach
    {197, 221, 176},  // Europe: sage
    {211, 198, 227},  // North America: lavender
    {185, 221, 214},  // Oceania: pale teal
    {242, 193, 196},  // South America: rose
};

// Each shade lightens (positive) or darkens (negative) the base a little:
// enough to tell neighbours apart, not enough to read as another continent.
const double kShadeShift[colours::kShades] = {0.0, -0.07, 0.28, -0.13, 0.14, -0.035};

Rgb shade(Rgb c, double shift) {
    auto mix = [shift](int v) {
        double out = shift >= 0 ? v + (255 - v) * shift : v * (1 + shift);
        return static_cast<std::uint8_t>(std::clamp(static_cast<int>(std::lround(out)), 0, 255));
    };
    return {mix(c.r), mix(c.g), mix(c.b)};
}

Rgb blend(Rgb a, Rgb b, double t) {
    auto mix = [t](int x, int y) { return static_cast<std::uint8_t>(std::lround(x + (y - x) * t)); };
    return {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}

constexpr Rgb kWhiteRgb{255, 255, 255};
constexpr Rgb kTextRgb{34, 34, 34};
constexpr Rgb kStripRgb{46, 74, 98};

PixelRect grow(const PixelRect& r, int by) { return {r.left - by, r.top - by, r.right + by, r.bottom + by}; }

void draw_graticule(Canvas& canvas, const Panel& panel, double step) {
    if (step <= 0) return;
    LonLat topLeft = panel.projection.unproject({static_cast<double>(panel.rect.left), static_cast<double>(panel.rect.top)});
    LonLat bottomRight =
        panel.projection.unproject({static_cast<double>(panel.rect.right), static_cast<double>(panel.rect.bottom)});
    for (double lon = std::ceil(topLeft.lon / step) * step; lon <= bottomRight.lon; lon += step) {
        double x = panel.projection.project({lon, 0}).x;
        canvas.draw_line({x, static_cast<double>(panel.rect.top)}, {x, static_cast<double>(panel.rect.bottom)},
                         colours::kGraticule);
    }
    for (double lat = std::ceil(bottomRight.lat / step) * step; lat <= topLeft.lat; lat += step) {
        double y = panel.projection.project({0, lat}).y;
        canvas.draw_line({static_cast<double>(panel.rect.left), y}, {static_cast<double>(panel.rect.right), y},
                         colours::kGraticule);
    }
}

void draw_layer_fill(Canvas& canvas, const Panel& panel, const Layer& layer) {
    for (size_t f = 0; f < layer.topology->features.size(); ++f) {
        if (layer.fill[f] == Layer::kNoFill) continue;
        std::vector<PixelRing> rings;
        for (const Polygon& polygon : layer.topology->features[f].polygons) {
            std::vector<PixelRing> projected = project_polygon(polygon, panel.projection);
            rings.insert(rings.end(), projected.begin(), projected.end());
        }
        canvas.fill_even_odd(rings, layer.fill[f]);
    }
}

void draw_layer_lines(Canvas& canvas, const Panel& panel, const Layer& layer) {
    std::map<int, std::vector<int>> users;
    for (size_t f = 0; f < layer.topology->features.size(); ++f) {
        if (layer.fill[f] == Layer::kNoFill) continue;
        for (int arc : layer.topology->features[f].arcs) users[arc].push_back(static_cast<int>(f));
    }
    // Borders first, so that coasts, which carry the land's outline, win
    // where the two meet.
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& [arc, list] : users) {
            bool shared = list.size() > 1;
            if (shared != (pass == 0)) continue;
            std::uint8_t colour = shared ? layer.borderColour : layer.coastColour;
            for (const PixelRing& line : project_line(layer.topology->arcs[static_cast<size_t>(arc)], panel.projection)) {
                canvas.draw_polyline(line, colour);
            }
        }
    }
}

struct DotStyle {
    double radius;
    double ring;
    std::uint8_t colour;
};

DotStyle dot_style(MarkKind kind) {
    switch (kind) {
        // Cores at least 7 pixels across stay visible when the map is shown at
        // a quarter of its size, which keeps one pixel in every four.
        case MarkKind::Capital: return {4.0, 5.5, colours::kCapital};
        case MarkKind::Megacity: return {4.6, 6.2, colours::kMegacity};
        default: return {3.5, 4.8, colours::kCity};
    }
}

PixelRect dot_rect(const Mark& mark) {
    double r = dot_style(mark.kind).ring;
    return {static_cast<int>(std::floor(mark.at.x - r)), static_cast<int>(std::floor(mark.at.y - r)),
            static_cast<int>(std::ceil(mark.at.x + r)), static_cast<int>(std::ceil(mark.at.y + r))};
}

// The most common land or sea colour inside the rectangle (the lowest index
// on a tie), or the sea when there is none.
std::uint8_t ground_colour(const Canvas& canvas, const PixelRect& r) {
    int counts[256] = {};
    for (int y = std::max(0, r.top); y < std::min(canvas.height(), r.bottom); ++y) {
        for (int x = std::max(0, r.left); x < std::min(canvas.width(), r.right); ++x) counts[canvas.at(x, y)]++;
    }
    std::uint8_t best = colours::kSea;
    int bestCount = 0;
    for (int i = 0; i < 256; ++i) {
        bool ground = i == colours::kSea || i == colours::kNeutralLand || (i >= colours::kLand && i < colours::kStrip);
        if (ground && counts[i] > bestCount) best = static_cast<std::uint8_t>(i), bestCount = counts[i];
    }
    return best;
}

}  // namespace

Palette guide_palette() {
    Palette p(71, Rgb{0, 0, 0});
    p[colours::kSea] = {172, 206, 232};
    p[colours::kGraticule] = {156, 192, 222};
    p[colours::kCoast] = {70, 104, 138};
    p[colours::kBorder] = {112, 104, 100};
    p[colours::kInnerBorder] = {160, 150, 144};
    p[colours::kFrame] = {48, 48, 48};
    p[colours::kWhite] = kWhiteRgb;
    for (int i = 0; i < colours::kTextRampLength; ++i) {
        p[colours::kTextRamp + i] = blend(kWhiteRgb, kTextRgb, (i + 1) / static_cast<double>(colours::kTextRampLength));
    }
    p[colours::kCapital] = {196, 44, 36};
    p[colours::kCity] = {40, 52, 70};
    p[colours::kMegacity] = {150, 30, 110};
    p[colours::kNeutralLand] = {228, 225, 218};
    for (int c = 0; c < 7; ++c) {
        for (int s = 0; s < colours::kShades; ++s) p[colours::kLand + c * colours::kShades + s] = shade(kContinentBase[c], kShadeShift[s]);
    }
    p[colours::kStrip] = kStripRgb;
    for (int i = 0; i < colours::kTextRampLength; ++i) {
        p[colours::kStripRamp + i] = blend(kStripRgb, kWhiteRgb, (i + 1) / static_cast<double>(colours::kTextRampLength));
    }
    p[colours::kBlack] = {20, 20, 20};
    return p;
}

std::uint8_t land_colour(const std::string& continent, int shade) {
    for (int c = 0; c < 7; ++c) {
        if (continent == kContinentOrder[c]) {
            return static_cast<std::uint8_t>(colours::kLand + c * colours::kShades + (shade % colours::kShades));
        }
    }
    return colours::kNeutralLand;
}

std::vector<std::uint8_t> text_ramp() {
    std::vector<std::uint8_t> ramp;
    for (int i = 0; i < colours::kTextRampLength; ++i) ramp.push_back(static_cast<std::uint8_t>(colours::kTextRamp + i));
    return ramp;
}

std::vector<std::uint8_t> strip_ramp() {
    std::vector<std::uint8_t> ramp;
    for (int i = 0; i < colours::kTextRampLength; ++i) ramp.push_back(static_cast<std::uint8_t>(colours::kStripRamp + i));
    return ramp;
}

std::vector<int> shade_features(const Topology& topology, const std::vector<std::string>& groups) {
    std::vector<std::set<int>> adjacent(topology.features.size());
    for (const auto& [a, b] : neighbours(topology)) {
        if (groups[static_cast<size_t>(a)] != groups[static_cast<size_t>(b)]) continue;
        adjacent[static_cast<size_t>(a)].insert(b);
        adjacent[static_cast<size_t>(b)].insert(a);
    }
    // Most-connected first: they have the fewest free shades left otherwise.
    std::vector<int> order(topology.features.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return adjacent[static_cast<size_t>(a)].size() > adjacent[static_cast<size_t>(b)].size();
    });
    std::vector<int> shades(topology.features.size(), -1);
    for (int f : order) {
        int count[colours::kShades] = {};
        for (int n : adjacent[static_cast<size_t>(f)]) {
            if (shades[static_cast<size_t>(n)] >= 0) count[shades[static_cast<size_t>(n)]]++;
        }
        // The first free shade; when none is free, the least used around.
        int best = 0;
        for (int s = 1; s < colours::kShades; ++s) {
            if (count[s] < count[best]) best = s;
        }
        shades[static_cast<size_t>(f)] = best;
    }
    return shades;
}

int render_map(Canvas& canvas, const std::vector<Panel>& panels, const std::vector<Layer>& layers,
               const std::vector<Mark>& marks, const MapFonts& fonts, double graticuleStep) {
    for (const Panel& panel : panels) {
        canvas.set_clip(panel.rect);
        canvas.fill_rect(panel.rect, colours::kSea);
        draw_graticule(canvas, panel, graticuleStep);
        for (const Layer& layer : layers) draw_layer_fill(canvas, panel, layer);
        for (const Layer& layer : layers) draw_layer_lines(canvas, panel, layer);
        canvas.reset_clip();
        if (panel.framed) {
            canvas.frame_rect(grow(panel.rect, 2), colours::kWhite, 2);
            canvas.frame_rect(grow(panel.rect, 1), colours::kFrame, 1);
        }
    }
    canvas.reset_clip();
    canvas.frame_rect({0, 0, canvas.width(), canvas.height()}, colours::kFrame, 1);

    std::vector<PixelRect> taken;
    for (const Mark& mark : marks) {
        const Panel& panel = panels[static_cast<size_t>(mark.panel)];
        canvas.set_clip(panel.rect);
        DotStyle style = dot_style(mark.kind);
        canvas.fill_disc(mark.at.x, mark.at.y, style.ring, colours::kWhite);
        canvas.fill_disc(mark.at.x, mark.at.y, style.radius, style.colour);
        taken.push_back(dot_rect(mark));
    }
    std::vector<std::uint8_t> ramp = text_ramp();
    int placed = 0;
    for (const Mark& mark : marks) {
        if (mark.label.empty()) continue;
        const Panel& panel = panels[static_cast<size_t>(mark.panel)];
        const TextRenderer* font = mark.kind == MarkKind::City ? fonts.regular : fonts.bold;
        CoverageMask text = font->render(mark.label);
        if (text.width == 0) continue;
        CoverageMask halo = TextRenderer::halo(text, 1);
        double gap = dot_style(mark.kind).ring + 1;
        int w = text.width, h = text.height;
        int cx = static_cast<int>(std::lround(mark.at.x)), cy = static_cast<int>(std::lround(mark.at.y));
        // Right, left, above, below the dot: the usual places for a label.
        const int tries[4][2] = {{cx + static_cast<int>(gap), cy - h / 2},
                                 {cx - static_cast<int>(gap) - w, cy - h / 2},
                                 {cx - w / 2, cy - static_cast<int>(gap) - h + 2},
                                 {cx - w / 2, cy + static_cast<int>(gap) - 1}};
        for (const auto& at : tries) {
            PixelRect box{at[0] - 1, at[1] - 1, at[0] + w + 1, at[1] + h + 1};
            if (!grow(panel.rect, -2).contains(box)) continue;
            bool clear = true;
            for (size_t p = 0; p < panels.size() && clear; ++p) {
                if (static_cast<int>(p) != mark.panel && panels[p].framed && grow(panels[p].rect, 3).intersects(box)) clear = false;
            }
            for (const PixelRect& other : taken) {
                if (!clear) break;
                if (other.intersects(box) && !(other.left == dot_rect(mark).left && other.top == dot_rect(mark).top)) clear = false;
            }
            if (!clear) continue;
            canvas.set_clip(panel.rect);
            // The halo takes the colour of the ground under the label, so it
            // clears borders and graticule from behind the text without
            // leaving white flecks on the map when it is shown small.
            canvas.draw_mask(at[0] - 1, at[1] - 1, halo, {ground_colour(canvas, box)}, 60);
            canvas.draw_mask(at[0], at[1], text, ramp);
            taken.push_back(box);
            ++placed;
            break;
        }
    }
    canvas.reset_clip();
    return placed;
}

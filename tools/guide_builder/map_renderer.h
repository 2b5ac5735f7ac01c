// Draws a map picture: sea with a graticule, land filled country by country,
// coasts and borders, then a dot and a label for each place. One palette
// serves every picture of the guide, so colours mean the same on every map.
#pragma once

#include "tools/guide_builder/canvas.h"
#include "tools/guide_builder/text_renderer.h"

#include <string>
#include <vector>

namespace colours {
constexpr std::uint8_t kSea = 0;
constexpr std::uint8_t kGraticule = 1;
constexpr std::uint8_t kCoast = 2;
constexpr std::uint8_t kBorder = 3;       // between countries
constexpr std::uint8_t kInnerBorder = 4;  // between states
constexpr std::uint8_t kFrame = 5;
constexpr std::uint8_t kWhite = 6;
constexpr std::uint8_t kTextRamp = 7;  // 7..11: from faint to full dark text on white
constexpr int kTextRampLength = 5;
constexpr std::uint8_t kCapital = 12;
constexpr std::uint8_t kCity = 13;
constexpr std::uint8_t kMegacity = 14;
constexpr std::uint8_t kNeutralLand = 15;  // land outside the map's subject
constexpr std::uint8_t kLand = 20;         // 20..61: continent colours, kShades each
constexpr int kShades = 6;
constexpr std::uint8_t kStrip = 64;       // background of title and scale strips
constexpr std::uint8_t kStripRamp = 65;   // 65..69: from faint to full white text on the strip
constexpr std::uint8_t kBlack = 70;
}  // namespace colours

Palette guide_palette();
// The land colour of a continent (AF AN AS EU NA OC SA) in one of its shades.
std::uint8_t land_colour(const std::string& continent, int shade);
std::vector<std::uint8_t> text_ramp();
std::vector<std::uint8_t> strip_ramp();

// Shades for features so that no two neighbours with the same base colour
// share one: a greedy colouring over the topology's shared arcs.
std::vector<int> shade_features(const Topology& topology, const std::vector<std::string>& groups);

struct Panel {
    PixelRect rect;  // where on the picture this panel draws
    Projection projection;
    bool framed;  // an inset: framed so it reads apart from the map around it
};

struct Layer {
    const Topology* topology;
    std::vector<std::uint8_t> fill;  // per feature; kNoFill leaves it out
    std::uint8_t borderColour;       // arcs two features share
    std::uint8_t coastColour;        // arcs only one feature uses
    static constexpr std::uint8_t kNoFill = 255;
};

enum class MarkKind { Capital, City, Megacity };

struct Mark {
    PixelPoint at;
    MarkKind kind;
    std::string label;  // UTF-8; empty for none
    int panel;          // index of the panel the place lies in
};

struct MapFonts {
    const TextRenderer* regular;
    const TextRenderer* bold;
};

// Draws the panels in order, then every mark's dot, then as many labels as
// fit without covering another label or dot (marks earlier in the list get
// their label first). Returns the number of labels placed.
int render_map(Canvas& canvas, const std::vector<Panel>& panels, const std::vector<Layer>& layers,
               const std::vector<Mark>& marks, const MapFonts& fonts, double graticuleStep);

// The button images: 16 x 16 pictures on the light grey of the menu bar
// (palette entry 0), drawn one character per pixel.
//   .  light grey ground     K  black             W  white
//   R  red      r  dark red  B  blue   b  dark blue   G  green  g  dark green
//   S  grey (text lines)     Y  pale blue (glass, window panes)
//   H  roof red   Q  cream wall   D  brown (door, handle)
#include "platform/win32.h"
#include "resources/pixel_art.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"

namespace {

const std::vector<PaletteEntry> kPalette = {
    {'.', 189, 190, 189}, {'K', 0, 0, 0},     {'W', 255, 255, 255}, {'R', 224, 32, 32},  {'r', 150, 0, 0},
    {'B', 40, 90, 220},   {'b', 10, 40, 140}, {'G', 40, 170, 60},   {'g', 0, 100, 30},   {'S', 128, 128, 128},
    {'Y', 170, 215, 255}, {'H', 200, 50, 30}, {'Q', 250, 235, 190}, {'D', 110, 70, 30},
};

// Quit: a red disc with a white cross.
const PixelArt kQuit = {{
    "................",
    ".....rrrrrr.....",
    "...rrRRRRRRrr...",
    "..rrRRRRRRRRrr..",
    "..rRWWRRRRWWRr..",
    ".rRRWWWRRWWWRRr.",
    ".rRRRWWWWWWRRRr.",
    ".rRRRRWWWWRRRRr.",
    ".rRRRRWWWWRRRRr.",
    ".rRRRWWWWWWRRRr.",
    ".rRRWWWRRWWWRRr.",
    "..rRWWRRRRWWRr..",
    "..rrRRRRRRRRrr..",
    "...rrRRRRRRrr...",
    ".....rrrrrr.....",
    "................",
}};

// Find: a page with a magnifying glass.
const PixelArt kFind = {{
    "................",
    "..KKKKKKKK......",
    "..KWWWWWWKK.....",
    "..KWSSSSWKWK....",
    "..KWWWWWWKKKK...",
    "..KWSSSSSSSWK...",
    "..KWWWWWKKKWK...",
    "..KWSSSKYYYKK...",
    "..KWWWKYWYYYK...",
    "..KWSSKYYYYYK...",
    "..KWWWKYYYYYK...",
    "..KWWWWKYYYKK...",
    "..KKKKKKKKKKDD..",
    "............DDD.",
    ".............DDD",
    "..............DD",
}};

// Information: a blue disc with a white letter i.
const PixelArt kInformation = {{
    "................",
    ".....bbbbbb.....",
    "...bbBBBBBBbb...",
    "..bbBBBWWBBBbb..",
    "..bBBBBWWBBBBb..",
    ".bBBBBBBBBBBBBb.",
    ".bBBBBWWWBBBBBb.",
    ".bBBBBBWWBBBBBb.",
    ".bBBBBBWWBBBBBb.",
    ".bBBBBBWWBBBBBb.",
    ".bBBBBBWWBBBBBb.",
    "..bBBBBWWBBBBb..",
    "..bbBBWWWWBBbb..",
    "...bbBBBBBBbb...",
    ".....bbbbbb.....",
    "................",
}};

// Zoom In: a green disc with a plus.
const PixelArt kZoomIn = {{
    "................",
    ".....gggggg.....",
    "...ggGGGGGGgg...",
    "..ggGGGGGGGGgg..",
    "..gGGGGWWGGGGg..",
    ".gGGGGGWWGGGGGg.",
    ".gGGGGGWWGGGGGg.",
    ".gGGWWWWWWWWGGg.",
    ".gGGWWWWWWWWGGg.",
    ".gGGGGGWWGGGGGg.",
    ".gGGGGGWWGGGGGg.",
    "..gGGGGWWGGGGg..",
    "..ggGGGGGGGGgg..",
    "...ggGGGGGGgg...",
    ".....gggggg.....",
    "................",
}};

// Zoom Out: a green disc with a minus.
const PixelArt kZoomOut = {{
    "................",
    ".....gggggg.....",
    "...ggGGGGGGgg...",
    "..ggGGGGGGGGgg..",
    "..gGGGGGGGGGGg..",
    ".gGGGGGGGGGGGGg.",
    ".gGGGGGGGGGGGGg.",
    ".gGGWWWWWWWWGGg.",
    ".gGGWWWWWWWWGGg.",
    ".gGGGGGGGGGGGGg.",
    ".gGGGGGGGGGGGGg.",
    "..gGGGGGGGGGGg..",
    "..ggGGGGGGGGgg..",
    "...ggGGGGGGgg...",
    ".....gggggg.....",
    "................",
}};

// Home: a house.
const PixelArt kHome = {{
    "................",
    "..........KK....",
    ".......KK.KHK...",
    "......KHHKKHK...",
    ".....KHHHHKHK...",
    "....KHHHHHHKK...",
    "...KHHHHHHHHK...",
    "..KHHHHHHHHHHK..",
    ".KKKKKKKKKKKKKK.",
    "..KQQQQQQQQQQK..",
    "..KQYYQQKKKQQK..",
    "..KQYYQQKDKQQK..",
    "..KQQQQQKDKQQK..",
    "..KQQQQQKDKQQK..",
    "..KKKKKKKKKKKK..",
    "................",
}};

// The spacer before Back: nothing but the grey ground.
const PixelArt kBlank = {{
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
}};

// Back: a blue disc with an arrow to the left.
const PixelArt kBack = {{
    "................",
    ".....bbbbbb.....",
    "...bbBBBBBBbb...",
    "..bbBBBWBBBBbb..",
    "..bBBBWWBBBBBb..",
    ".bBBBWWWBBBBBBb.",
    ".bBBWWWWBBBBBBb.",
    ".bBWWWWWWWWWWBb.",
    ".bBWWWWWWWWWWBb.",
    ".bBBWWWWBBBBBBb.",
    ".bBBBWWWBBBBBBb.",
    "..bBBBWWBBBBBb..",
    "..bbBBBWBBBBbb..",
    "...bbBBBBBBbb...",
    ".....bbbbbb.....",
    "................",
}};

// Forward: a blue disc with an arrow to the right.
const PixelArt kForward = {{
    "................",
    ".....bbbbbb.....",
    "...bbBBBBBBbb...",
    "..bbBBBBWBBBbb..",
    "..bBBBBBWWBBBb..",
    ".bBBBBBBWWWBBBb.",
    ".bBBBBBBWWWWBBb.",
    ".bBWWWWWWWWWWBb.",
    ".bBWWWWWWWWWWBb.",
    ".bBBBBBBWWWWBBb.",
    ".bBBBBBBWWWBBBb.",
    "..bBBBBBWWBBBb..",
    "..bbBBBBWBBBbb..",
    "...bbBBBBBBbb...",
    ".....bbbbbb.....",
    "................",
}};

}  // namespace

void RegisterButtonBitmaps() {
    // The main window's nine buttons in the order of the bar.
    platform::add_resource(RT_BITMAP, MAKEINTRESOURCEW(IDB_MAIN_BUTTONS),
                           MakeBitmapResource(kPalette, {&kQuit, &kFind, &kInformation, &kZoomIn, &kZoomOut, &kHome,
                                                         &kBlank, &kBack, &kForward}));
    // The Information dialog's close button.
    platform::add_resource(RT_BITMAP, MAKEINTRESOURCEW(IDB_CLOSE_BUTTON), MakeBitmapResource(kPalette, {&kQuit}));
    // The Find dialog's Cancel and OK.
    platform::add_resource(RT_BITMAP, MAKEINTRESOURCEW(IDB_FIND_BUTTONS),
                           MakeBitmapResource(kPalette, {&kQuit, &kForward}));
}

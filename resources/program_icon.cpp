// The program's icon (140): a folded paper map with a red pin, 32 x 32,
// drawn one character per pixel; '.' is transparent.
//   K  outline   L  light panel   D  darker panel (the folds)
//   G  green land   g  dark green   B  blue water   b  dark blue
//   R  red pin   r  dark red   W  white highlight
#include "platform/win32.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kIcon[] = {
    "................................",
    "........................rrrr....",
    ".......................rRRRRr...",
    "......................rRWWRRRr..",
    "......................rRWRRRRr..",
    "......................rRRRRRRr..",
    "......................rRRRRRRr..",
    ".......................rRRRRr...",
    "....KKKKKKKKKKKKKKKKKKKKrRRrKK..",
    "....KLLLLLLLKDDDDDDDKLLLLrRrLK..",
    "....KLGGGLLLKDBBDDDDKLLLLKrKLK..",
    "....KLGGGGLLKDBBBDDDKLLGGLKLLK..",
    "....KLGgGGGLKDDBBBDDKLGGGGLLLK..",
    "....KLGGgGGGKBBBBBBDKLGGgGGLLK..",
    "....KLLGGGGGKBBBBBBBKLLGGGGLLK..",
    "....KLLLGGGBKBBbBBBBKLLLGGLLLK..",
    "....KLLBBBBBKBBBBbBBKBBBBBBLLK..",
    "....KLBBBBBBKBBBBBBBKBBBBBBBLK..",
    "....KLBBbBBBKBBBbBBBKBBbBBBBLK..",
    "....KLBBBBBBKBBBBBBBKBBBBBBBLK..",
    "....KLLBBBBBKDBBBBBDKBBBBBBLLK..",
    "....KLLLGGGGKDDGGGDDKLGGGLLLLK..",
    "....KLLGGgGGKDGGGGGDKGGGgGGLLK..",
    "....KLGGGGGGKDGGgGGDKGGGGGGGLK..",
    "....KLGGGGGLKDDGGGDDKLGGGGGLLK..",
    "....KLLGGGLLKDDDDDDDKLLGGGLLLK..",
    "....KLLLLLLLKDDDDDDDKLLLLLLLLK..",
    "....KKKKKKKKKKKKKKKKKKKKKKKKKK..",
    "................................",
    "................................",
    "................................",
    "................................",
};

struct Colour {
    char key;
    std::uint32_t argb;
};

constexpr Colour kColours[] = {
    {'.', 0x00000000u}, {'K', 0xFF303030u}, {'L', 0xFFF4EEDCu}, {'D', 0xFFD9D0B8u},
    {'G', 0xFF6DB36Bu}, {'g', 0xFF3D7D3Fu}, {'B', 0xFF7FB2E5u}, {'b', 0xFF3F74B5u},
    {'R', 0xFFE02020u}, {'r', 0xFF960000u}, {'W', 0xFFFFFFFFu},
};

std::uint32_t colour_of(char key, std::size_t row) {
    for (const Colour& c : kColours) {
        if (c.key == key) return c.argb;
    }
    // The icon is part of the program: a wrong character is a build mistake.
    std::fprintf(stderr, "%s:%d: icon row %zu: colour '%c' not in the palette\n", __FILE__, __LINE__, row, key);
    std::abort();
}

}  // namespace

void RegisterProgramIcon() {
    constexpr int kSide = 32;
    std::vector<std::uint32_t> argb;
    argb.reserve(kSide * kSide);
    for (std::size_t y = 0; y < kSide; ++y) {
        for (std::size_t x = 0; x < kSide; ++x) argb.push_back(colour_of(kIcon[y][x], y));
    }
    platform::add_icon(IDI_PROGRAM, kSide, kSide, argb);
}

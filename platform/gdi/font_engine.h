// Platform internal: faces found by font_match.h, sized and rendered by
// FreeType, with a cache of rendered glyphs per face and size. Nothing
// outside platform/gdi sees FreeType.
#pragma once

#include "platform/gdi/fonts.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

struct FT_FaceRec_;

namespace platform::gdi {

// One rendered glyph: 8-bit coverage, placed relative to the pen position on
// the baseline (left to the right, top upwards).
struct Glyph {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int advance = 0;  // whole pixels
    std::vector<std::uint8_t> coverage;  // width * height, row by row
};

// A face at one pixel size, with synthetic bold or slant where the installed
// faces lack them. Metrics are whole pixels.
class FaceInstance {
public:
    struct Key {
        std::string file;
        int index;
        long size26;  // em size in 1/64 pixel
        bool embolden;
        bool slant;
        bool operator==(const Key&) const = default;
    };
    // data holds the font file's bytes and outlives the instance.
    FaceInstance(const Key& key, const std::vector<unsigned char>* data);
    ~FaceInstance();
    FaceInstance(const FaceInstance&) = delete;
    FaceInstance& operator=(const FaceInstance&) = delete;

    const Glyph& glyph(char32_t codePoint);
    int advance(char32_t codePoint) { return glyph(codePoint).advance; }

    bool usable() const { return m_face != nullptr; }
    int ascent = 0;
    int descent = 0;
    int height = 0;  // ascent + descent
    int internalLeading = 0;
    int averageWidth = 0;
    int maxWidth = 0;
    int underlineOffset = 0;  // below the baseline, to the top of the line
    int lineThickness = 1;
    int strikeOffset = 0;  // above the baseline, to the top of the line

private:
    Glyph render(char32_t codePoint);

    ::FT_FaceRec_* m_face = nullptr;
    bool m_embolden = false;
    Glyph m_latin[256];
    bool m_latinReady[256] = {};
    std::unordered_map<char32_t, Glyph> m_others;
};

// The face for a font description; never null (without any usable font file
// it measures and draws nothing). Fonts of the same face and size share one
// instance; the engine keeps a bounded number of unused ones for reuse.
std::shared_ptr<FaceInstance> face_for(const LOGFONTW& logfont);

// The family used for "System", "" and as the fallback.
inline constexpr const char* kDefaultFamily = "DejaVu Sans";
// The System font's cell height in pixels.
inline constexpr int kSystemFontHeight = 14;

}  // namespace platform::gdi

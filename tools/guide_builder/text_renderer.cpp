#include "tools/guide_builder/text_renderer.h"

#include "platform/base/text_convert.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

struct TextRenderer::Face {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~Face() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

TextRenderer::TextRenderer(const std::string& fontPath, int pixelSize) : m_face(std::make_unique<Face>()) {
    if (FT_Init_FreeType(&m_face->library) != 0) {
        m_error = "FreeType cannot start";
        return;
    }
    if (FT_New_Face(m_face->library, fontPath.c_str(), 0, &m_face->face) != 0) {
        m_error = "cannot open the font " + fontPath;
        return;
    }
    if (FT_Set_Pixel_Sizes(m_face->face, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
        m_error = "the font " + fontPath + " has no size " + std::to_string(pixelSize);
        return;
    }
    m_ok = true;
}

TextRenderer::~TextRenderer() = default;

CoverageMask TextRenderer::render(const std::string& utf8) const {
    CoverageMask mask;
    if (!m_ok) return mask;
    FT_Face face = m_face->face;
    int ascender = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    int descender = static_cast<int>((-face->size->metrics.descender + 63) >> 6);

    // Two passes: measure, then draw into a mask of the measured width.
    for (int pass = 0; pass < 2; ++pass) {
        int pen = 0;
        const BYTE* p = reinterpret_cast<const BYTE*>(utf8.data());
        const BYTE* end = p + utf8.size();
        while (p < end) {
            char32_t cp = 0;
            p += platform::decode_utf8(p, end, &cp);
            FT_UInt glyph = FT_Get_Char_Index(face, cp);
            if (glyph == 0) continue;
            if (FT_Load_Glyph(face, glyph, FT_LOAD_RENDER) != 0) continue;
            FT_GlyphSlot slot = face->glyph;
            if (pass == 1) {
                const FT_Bitmap& bitmap = slot->bitmap;
                int left = pen + slot->bitmap_left;
                int top = ascender - slot->bitmap_top;
                for (unsigned row = 0; row < bitmap.rows; ++row) {
                    for (unsigned col = 0; col < bitmap.width; ++col) {
                        int x = left + static_cast<int>(col), y = top + static_cast<int>(row);
                        if (x < 0 || y < 0 || x >= mask.width || y >= mask.height) continue;
                        std::uint8_t value = bitmap.buffer[row * static_cast<unsigned>(bitmap.pitch) + col];
                        std::uint8_t& dst = mask.coverage[static_cast<size_t>(y * mask.width + x)];
                        dst = std::max(dst, value);
                    }
                }
            }
            pen += static_cast<int>((slot->advance.x + 32) >> 6);
        }
        if (pass == 0) {
            mask.width = std::max(0, pen);
            mask.height = ascender + descender;
            mask.coverage.assign(static_cast<size_t>(mask.width) * static_cast<size_t>(mask.height), 0);
        }
    }
    return mask;
}

CoverageMask TextRenderer::halo(const CoverageMask& mask, int radius) {
    CoverageMask out;
    out.width = mask.width + 2 * radius;
    out.height = mask.height + 2 * radius;
    out.coverage.assign(static_cast<size_t>(out.width) * static_cast<size_t>(out.height), 0);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            std::uint8_t best = 0;
            for (int dy = -radius; dy <= radius; ++dy) {
                for (int dx = -radius; dx <= radius; ++dx) {
                    if (dx * dx + dy * dy > radius * radius + radius) continue;
                    best = std::max(best, mask.at(x - radius + dx, y - radius + dy));
                }
            }
            out.coverage[static_cast<size_t>(y * out.width + x)] = best;
        }
    }
    return out;
}

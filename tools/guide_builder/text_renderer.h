// Text drawn into map pictures (place labels, title strips, scale bars),
// rendered with FreeType from a font file into a coverage mask.
#pragma once

#include "tools/guide_builder/canvas.h"

#include <memory>
#include <string>

class TextRenderer {
public:
    // Opens the font file; ok() tells whether that worked, error() why not.
    TextRenderer(const std::string& fontPath, int pixelSize);
    ~TextRenderer();
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    bool ok() const { return m_ok; }
    const std::string& error() const { return m_error; }

    // The UTF-8 text as one line; the mask is as high as the font's line
    // (ascender to descender) and as wide as the text's advance. Characters
    // the font lacks are left out.
    CoverageMask render(const std::string& utf8) const;
    // The same mask grown by radius pixels in every direction, each pixel the
    // strongest coverage within reach: a halo behind the text.
    static CoverageMask halo(const CoverageMask& mask, int radius);

private:
    struct Face;
    std::unique_ptr<Face> m_face;
    bool m_ok = false;
    std::string m_error;
};

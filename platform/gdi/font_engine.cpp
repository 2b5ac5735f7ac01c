#include "platform/gdi/font_engine.h"
#include "platform/base/crt.h"
#include "platform/base/text_convert.h"
#include "platform/gdi/font_match.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace platform::gdi {
namespace {

// The largest em size accepted, in pixels; a hostile LOGFONT height cannot
// make FreeType render glyphs of unbounded size.
constexpr long kMaxEmPixels = 512;

// Unused face instances kept for reuse; fonts in use are never dropped.
constexpr std::size_t kSpareInstances = 32;

struct Resolved {
    std::string file;
    int index = 0;
    bool bold = false;
    bool italic = false;
    const std::vector<unsigned char>* data = nullptr;  // null: unreadable
    long unitsPerEm = 2048;
    long cellUnits = 0;  // ascent + descent in font units, 0 when unknown
};

class Engine {
public:
    Engine() {
        if (FT_Init_FreeType(&m_library) != 0) m_library = nullptr;
    }
    ~Engine() {
        m_instances.clear();
        if (m_library) FT_Done_FreeType(m_library);
    }

    FT_Library library() const { return m_library; }

    const Resolved& resolve(const std::string& family, bool bold, bool italic) {
        const std::string key = family + (bold ? "|b" : "|") + (italic ? "i" : "");
        auto found = m_resolved.find(key);
        if (found != m_resolved.end()) return found->second;
        Resolved r = match(family, bold, italic);
        if (r.file.empty() && family != kDefaultFamily) r = match(kDefaultFamily, bold, italic);
        if (r.file.empty()) r.file = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
        r.data = file_bytes(r.file);
        measure(r);
        return m_resolved.emplace(key, r).first->second;
    }

    std::shared_ptr<FaceInstance> instance(const FaceInstance::Key& key, const std::vector<unsigned char>* data) {
        for (auto& entry : m_instances) {
            if (entry.first == key) return entry.second;
        }
        // Drop the oldest instances no font uses any more.
        std::size_t spare = 0;
        for (auto& entry : m_instances) spare += entry.second.use_count() == 1;
        for (auto it = m_instances.begin(); spare >= kSpareInstances && it != m_instances.end();) {
            if (it->second.use_count() == 1) {
                it = m_instances.erase(it);
                --spare;
            } else {
                ++it;
            }
        }
        auto face = std::make_shared<FaceInstance>(key, data);
        m_instances.emplace_back(key, face);
        return face;
    }

private:
    static Resolved match(const std::string& family, bool bold, bool italic) {
        const FontMatch found = match_font(family, bold, italic);
        Resolved r;
        r.file = found.file;
        r.index = found.index;
        r.bold = found.bold;
        r.italic = found.italic;
        return r;
    }

    // The whole font file, read once: faces are opened from memory, so no
    // file stays open however many sizes are in use.
    const std::vector<unsigned char>* file_bytes(const std::string& path) {
        auto found = m_files.find(path);
        if (found != m_files.end()) return found->second.empty() ? nullptr : &found->second;
        std::vector<unsigned char> bytes;
        if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
            unsigned char buffer[65536];
            std::size_t n;
            // Font files are a few megabytes at most; a larger one is refused.
            while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0 && bytes.size() < (64u << 20))
                bytes.insert(bytes.end(), buffer, buffer + n);
            std::fclose(f);
        }
        auto& stored = m_files[path] = std::move(bytes);
        return stored.empty() ? nullptr : &stored;
    }

    // The face's em and cell sizes, for turning a cell height into an em.
    void measure(Resolved& r) {
        FT_Face face = nullptr;
        if (m_library == nullptr || r.data == nullptr ||
            FT_New_Memory_Face(m_library, r.data->data(), static_cast<FT_Long>(r.data->size()), r.index, &face) != 0)
            return;
        const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        r.unitsPerEm = face->units_per_EM > 0 ? face->units_per_EM : 2048;
        r.cellUnits = (os2 && os2->usWinAscent + os2->usWinDescent > 0) ? os2->usWinAscent + os2->usWinDescent
                                                                         : face->ascender - face->descender;
        FT_Done_Face(face);
    }

    FT_Library m_library = nullptr;
    std::map<std::string, Resolved> m_resolved;
    std::map<std::string, std::vector<unsigned char>> m_files;
    std::vector<std::pair<FaceInstance::Key, std::shared_ptr<FaceInstance>>> m_instances;
};

Engine& engine() {
    static Engine e;
    return e;
}

int round26(long v) { return static_cast<int>((v + 32) >> 6); }

}  // namespace

FaceInstance::FaceInstance(const Key& key, const std::vector<unsigned char>* data) : m_embolden(key.embolden) {
    FT_Library library = engine().library();
    FT_Face face = nullptr;
    if (library == nullptr || data == nullptr ||
        FT_New_Memory_Face(library, data->data(), static_cast<FT_Long>(data->size()), key.index, &face) != 0)
        return;
    if (FT_Set_Char_Size(face, 0, key.size26, 72, 72) != 0) {
        FT_Done_Face(face);
        return;
    }
    if (key.slant) {
        // A shear of about 12 degrees stands in for a missing italic face.
        FT_Matrix shear{0x10000, 0x3800, 0, 0x10000};
        FT_Set_Transform(face, &shear, nullptr);
    }
    m_face = face;
    const double scale = key.size26 / 64.0 / face->units_per_EM;
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
        ascent = static_cast<int>(std::lround(os2->usWinAscent * scale));
        descent = static_cast<int>(std::lround(os2->usWinDescent * scale));
    } else {
        ascent = round26(face->size->metrics.ascender);
        descent = -round26(face->size->metrics.descender);
    }
    height = ascent + descent;
    internalLeading = std::max(0, height - static_cast<int>(std::lround(key.size26 / 64.0)));
    maxWidth = round26(face->size->metrics.max_advance);
    lineThickness = std::max(1, static_cast<int>(std::lround(face->underline_thickness * scale)));
    underlineOffset = std::max(1, static_cast<int>(std::lround(-face->underline_position * scale)) - lineThickness / 2);
    strikeOffset = std::max(1, static_cast<int>(std::lround(ascent * 0.3)));
    // The average letter width, as dialog layouts measure it: the 52 Latin
    // letters' width / 26, halved and rounded.
    int letters = 0;
    for (char c = 'A'; c <= 'Z'; ++c) letters += advance(static_cast<char32_t>(c));
    for (char c = 'a'; c <= 'z'; ++c) letters += advance(static_cast<char32_t>(c));
    averageWidth = (letters / 26 + 1) / 2;
}

FaceInstance::~FaceInstance() {
    if (m_face) FT_Done_Face(m_face);
}

const Glyph& FaceInstance::glyph(char32_t cp) {
    if (cp < 256) {
        if (!m_latinReady[cp]) {
            m_latin[cp] = render(cp);
            m_latinReady[cp] = true;
        }
        return m_latin[cp];
    }
    auto found = m_others.find(cp);
    if (found != m_others.end()) return found->second;
    return m_others.emplace(cp, render(cp)).first->second;
}

Glyph FaceInstance::render(char32_t cp) {
    Glyph g;
    if (m_face == nullptr) return g;
    const FT_UInt index = FT_Get_Char_Index(m_face, cp);
    if (FT_Load_Glyph(m_face, index, FT_LOAD_TARGET_LIGHT) != 0) return g;
    FT_GlyphSlot slot = m_face->glyph;
    long advance = slot->advance.x;
    if (m_embolden && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        // A stroke of about 1/24 em; the advance grows by the same.
        const FT_Pos strength = std::max<FT_Pos>(FT_MulFix(m_face->units_per_EM, m_face->size->metrics.y_scale) / 24, 32);
        FT_Outline_Embolden(&slot->outline, strength);
        advance += strength;
    }
    g.advance = round26(advance);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return g;
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY || bm.width == 0 || bm.rows == 0) return g;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = static_cast<int>(bm.width);
    g.height = static_cast<int>(bm.rows);
    g.coverage.resize(static_cast<std::size_t>(g.width) * g.height);
    for (int y = 0; y < g.height; ++y) {
        const unsigned char* row = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
        std::copy(row, row + g.width, g.coverage.begin() + static_cast<std::ptrdiff_t>(y) * g.width);
    }
    return g;
}

std::shared_ptr<FaceInstance> face_for(const LOGFONTW& lf) {
    std::u16string name(lf.lfFaceName, std::find(lf.lfFaceName, lf.lfFaceName + LF_FACESIZE, u'\0'));
    std::string family = to_utf8(name);
    if (family.empty() || lstrcmpiW(name.c_str(), u"System") == 0) family = kDefaultFamily;
    const bool bold = lf.lfWeight >= FW_SEMIBOLD;
    const bool italic = lf.lfItalic != 0;
    const Resolved& r = engine().resolve(family, bold, italic);

    // Cell height (positive) or character height (negative) to an em size,
    // from the face's own ascent and descent.
    long long height = lf.lfHeight == 0 ? kSystemFontHeight : lf.lfHeight;
    long long size26;
    if (height < 0) {
        size26 = -height * 64;
    } else {
        size26 = r.cellUnits > 0 ? height * 64 * r.unitsPerEm / r.cellUnits : height * 64;
    }
    size26 = std::clamp<long long>(size26, 64, kMaxEmPixels * 64);
    return engine().instance(
        FaceInstance::Key{r.file, r.index, static_cast<long>(size26), bold && !r.bold, italic && !r.italic}, r.data);
}

}  // namespace platform::gdi

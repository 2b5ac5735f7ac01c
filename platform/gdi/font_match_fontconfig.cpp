#include "platform/gdi/font_match.h"

#include <fontconfig/fontconfig.h>

namespace platform::gdi {
namespace {

// Loaded once, at the first font asked for, and let go of at exit.
struct Config {
    FcConfig* config = FcInitLoadConfigAndFonts();
    ~Config() {
        if (config) FcConfigDestroy(config);
    }
};

}  // namespace

FontMatch match_font(const std::string& family, bool bold, bool italic) {
    static Config loaded;
    FontMatch r;
    if (loaded.config == nullptr) return r;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(loaded.config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* best = FcFontMatch(loaded.config, pattern, &result);
    if (best) {
        FcChar8* file = nullptr;
        int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
        if (FcPatternGetString(best, FC_FILE, 0, &file) == FcResultMatch && file) {
            r.file = reinterpret_cast<const char*>(file);
            FcPatternGetInteger(best, FC_INDEX, 0, &index);
            FcPatternGetInteger(best, FC_WEIGHT, 0, &weight);
            FcPatternGetInteger(best, FC_SLANT, 0, &slant);
            r.index = index;
            r.bold = weight >= FC_WEIGHT_DEMIBOLD;
            r.italic = slant != FC_SLANT_ROMAN;
        }
        FcPatternDestroy(best);
    }
    FcPatternDestroy(pattern);
    return r;
}

}  // namespace platform::gdi

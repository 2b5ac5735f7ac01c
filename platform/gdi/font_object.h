// Platform internal: the font object behind an HFONT, and the stock System
// font.
#pragma once

#include "platform/gdi/fonts.h"
#include "platform/gdi/object_table.h"

#include <memory>

namespace platform::gdi {

class FaceInstance;

class Font : public GdiObject {
public:
    explicit Font(const LOGFONTW& logfont);
    const LOGFONTW& logfont() const { return m_logfont; }
    // The face that measures and draws this font; resolved on first use.
    FaceInstance& face() const;
    int describe(int bufferSize, void* buffer) const override;

private:
    LOGFONTW m_logfont;
    mutable std::shared_ptr<FaceInstance> m_face;
};

// The stock System font: DejaVu Sans with a cell 14 pixels high, whose
// letters average 7 pixels across.
Font* system_font();
// The System font's description.
LOGFONTW system_logfont();

}  // namespace platform::gdi

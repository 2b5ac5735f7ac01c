// Fonts: CreateFontIndirectW and GetTextMetricsW. Faces are found through
// fontconfig and drawn with FreeType; DejaVu Sans is the default face, and
// the face names "System" and "" mean it.
#pragma once

#include "platform/gdi/objects.h"

#define LF_FACESIZE 32

#define FW_DONTCARE 0
#define FW_THIN 100
#define FW_LIGHT 300
#define FW_NORMAL 400
#define FW_MEDIUM 500
#define FW_SEMIBOLD 600
#define FW_BOLD 700
#define FW_HEAVY 900

#define DEFAULT_CHARSET 1
#define ANSI_CHARSET 0
#define OUT_DEFAULT_PRECIS 0
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define ANTIALIASED_QUALITY 4
#define DEFAULT_PITCH 0
#define VARIABLE_PITCH 2
#define FF_DONTCARE 0
#define FF_SWISS 0x20

struct LOGFONTW {
    LONG lfHeight;  // > 0: cell height in pixels; < 0: character height; 0: the default
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
};
static_assert(sizeof(LOGFONTW) == 92, "LOGFONTW is 92 bytes");

struct TEXTMETRICW {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    WCHAR tmFirstChar;
    WCHAR tmLastChar;
    WCHAR tmDefaultChar;
    WCHAR tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};

// A font of the described face, height, weight (FW_SEMIBOLD and above is
// bold), italic, underline and strike-out. A face that is not installed is
// replaced by the nearest one fontconfig offers. Widths, escapement and
// orientation are ignored.
HFONT CreateFontIndirectW(const LOGFONTW* logfont);
// Metrics of the font selected into dc. tmAveCharWidth is the average width
// of the 52 Latin letters (the figure dialog layouts are measured with).
BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics);

namespace platform::gdi {

// A font of the default face at a character height in pixels and a weight,
// made on first use and kept for the life of the process, for the text the
// platform itself draws (title bars, message boxes, tool tips).
HFONT shared_ui_font(int pixelHeight, int weight);

}  // namespace platform::gdi

// Brushes, pens and the stock objects: CreateSolidBrush, CreatePen and
// GetStockObject.
#pragma once

#include "platform/gdi/objects.h"

#define BS_SOLID 0
#define BS_NULL 1
#define BS_HOLLOW BS_NULL

#define PS_SOLID 0
#define PS_NULL 5

#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define SYSTEM_FONT 13
#define DEFAULT_GUI_FONT 17

struct LOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    ULONG_PTR lbHatch;
};

struct LOGPEN {
    UINT lopnStyle;
    POINT lopnWidth;  // only x is used
    COLORREF lopnColor;
};

HBRUSH CreateSolidBrush(COLORREF color);
// PS_SOLID of any width (0 counts as 1) or PS_NULL; other styles are drawn
// solid. A negative width is refused.
HPEN CreatePen(int style, int width, COLORREF color);
// The stock brushes, pens and fonts above; null for any other index. Stock
// objects are never deleted (DeleteObject refuses them).
HGDIOBJ GetStockObject(int index);

// The clip region of a device context: ExcludeClipRect, IntersectClipRect,
// GetClipBox and SelectClipRgn (resetting only). Rectangles are in logical
// coordinates, right and bottom exclusive. The region lives as long as the
// DC; a window DC starts with its whole client area.
#pragma once

#include "platform/gdi/objects.h"

#define ERROR 0
#define NULLREGION 1
#define SIMPLEREGION 2
#define COMPLEXREGION 3

// Each returns the kind of region left: NULLREGION, SIMPLEREGION,
// COMPLEXREGION, or ERROR for an unknown DC.
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
// The smallest rectangle around what drawing can touch, in logical
// coordinates.
int GetClipBox(HDC dc, LPRECT rect);
// Only a null region is supported: it removes the clip region.
int SelectClipRgn(HDC dc, HRGN region);

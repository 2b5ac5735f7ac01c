// Filled rectangles, outlined shapes, lines and single pixels: FillRect,
// Rectangle, Polyline, MoveToEx/LineTo, SetPixel and GetPixel. Everything is
// clipped to the DC's clip region and its canvas.
#pragma once

#include "platform/gdi/objects.h"

// Fills rect (right and bottom exclusive) with brush; a hollow brush fills
// nothing.
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
// Outlines the rectangle with the current pen and fills its inside with the
// current brush. With a pen of width 1 the outline covers the columns left
// and right - 1 and the rows top and bottom - 1; a wider pen is centred on
// that outline (its extra pixel of an even width outwards, to the left and
// top). With the null pen the fill covers left..right - 1 by top..bottom - 1.
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
// Lines through the points with the current pen. With width 1 each segment
// leaves out its last pixel, as LineTo does; wider pens have round ends and
// joins, centred on the line.
BOOL Polyline(HDC dc, const POINT* points, int count);
BOOL MoveToEx(HDC dc, int x, int y, LPPOINT previous);
BOOL LineTo(HDC dc, int x, int y);
// Returns the colour set, or CLR_INVALID outside the clip region.
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
// CLR_INVALID outside the clip region.
COLORREF GetPixel(HDC dc, int x, int y);

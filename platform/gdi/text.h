// Text: colours and background come from the DC (device_context.h), the face
// from its selected font (fonts.h). Text is placed with its top-left corner
// at the given point; glyphs are anti-aliased and blended onto the canvas.
#pragma once

#include "platform/gdi/objects.h"

#define ETO_OPAQUE 0x0002
#define ETO_CLIPPED 0x0004

#define DT_TOP 0x00000000
#define DT_LEFT 0x00000000
#define DT_CENTER 0x00000001
#define DT_RIGHT 0x00000002
#define DT_VCENTER 0x00000004
#define DT_BOTTOM 0x00000008
#define DT_WORDBREAK 0x00000010
#define DT_SINGLELINE 0x00000020
#define DT_NOCLIP 0x00000100
#define DT_CALCRECT 0x00000400
#define DT_NOPREFIX 0x00000800

// Draws count units of text at (x, y). ETO_OPAQUE first fills rect with the
// background colour; ETO_CLIPPED keeps the text inside rect. In OPAQUE
// background mode the text's own cell is filled with the background colour
// too. dx, when given, holds the advance of each unit.
BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count, const INT* dx);
BOOL TextOutW(HDC dc, int x, int y, LPCWSTR text, int count);
// The width and height of count units. With fit, the number of units that
// fit into maxExtent is stored there; with partial, the width of the first
// i + 1 units is stored at partial[i] for every unit.
BOOL GetTextExtentExPointW(HDC dc, LPCWSTR text, int count, int maxExtent, LPINT fit, LPINT partial, LPSIZE size);
BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, LPSIZE size);
// Draws text (count -1: up to its terminator) formatted into rect: left,
// centred or right; top, centred or bottom on a single line; broken into
// lines at line ends and, with DT_WORDBREAK, between words (a word wider than
// the rectangle is broken between letters). '&' marks the next letter as the
// underlined mnemonic ("&&" is one '&') unless DT_NOPREFIX. DT_CALCRECT
// only measures: rect gets the width of the widest line and the height of
// all lines. Returns the height of the text (with DT_VCENTER or DT_BOTTOM,
// the offset from rect's top to the text's bottom); 0 on failure.
int DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format);

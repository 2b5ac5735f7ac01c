// Related-map links: a hot rectangle on one map that leads to a point or a
// rectangle on another. The links come from the <Related Maps> sections of
// every database, not only the database of the map they start from.
#pragma once

#include "mapdb/map.h"
#include "platform/win32.h"

#include <cstdint>

// The map that the first link applying to map point (x, y) of the map named
// mapName leads to. The home map's links are looked at first, then every
// map's in catalogue order; a link applies when its source is mapName
// exactly (letter case counts) and the point lies in its hot rectangle
// (left and top edges inside, right and bottom outside). The first link
// that applies gives hotRect, targetRect and the target point and ends the
// search, also when no map has its target name: the result is then null.
// Null, with the outputs untouched, when no link applies or there is no
// home map.
CMap* FindRelatedMap(LPCWSTR mapName, std::int32_t x, std::int32_t y, RECT* hotRect, RECT* targetRect,
                     POINT* targetPoint);

// Carries the point's place in hot over into target: the same fractions of
// the width and height from the top-left corner. A rectangle without width
// (or height) gives target's left (or top) edge. Computed in 64 bits, since
// the rectangles come from databases and reach the 32-bit limits, and
// clamped to the 32-bit range.
POINT MapPointBetweenRects(POINT point, const RECT& hot, const RECT& target);

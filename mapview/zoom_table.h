// ZoomTable: the zoom steps every map view moves through, in percent,
// largest magnification first. The zeros at both ends mark the ends, so a
// step past 250 % or past 25 % finds 0 and is refused; views keep only
// their index into the table.
#pragma once

#include <cstdint>

inline constexpr std::int32_t ZoomTable[9] = {0, 250, 200, 150, 100, 50, 35, 25, 0};

// The usable indices and the one a view opens at (100 %).
inline constexpr std::int32_t FirstZoomIndex = 1;
inline constexpr std::int32_t LastZoomIndex = 7;
inline constexpr std::int32_t DefaultZoomIndex = 4;

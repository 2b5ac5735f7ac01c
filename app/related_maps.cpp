#include "app/related_maps.h"

#include "mapdb/map_catalogue.h"

#include <algorithm>

namespace {

// The first link of map that applies, or null.
const RelatedMap* applying_link(const CMap* map, LPCWSTR mapName, POINT point) {
    for (const RelatedMap* link = map->relatedMapList; link; link = link->next) {
        // Records are packed: the rectangle is copied out, never pointed at.
        const RECT hot = link->hotRect;
        if (link->sourceMapName != nullptr && lstrcmpW(link->sourceMapName, mapName) == 0 && PtInRect(&hot, point))
            return link;
    }
    return nullptr;
}

// d * targetLength / hotLength for lengths above 0. Each factor stays below
// 2^32, so the product fits in 64 unsigned bits; the result is held below
// 2^33, beyond anything the 32-bit range can use.
std::int64_t scaled(std::int64_t d, std::int64_t targetLength, std::int64_t hotLength) {
    const std::uint64_t q = static_cast<std::uint64_t>(d) * static_cast<std::uint64_t>(targetLength) /
                            static_cast<std::uint64_t>(hotLength);
    return static_cast<std::int64_t>(std::min<std::uint64_t>(q, std::uint64_t{1} << 33));
}

}  // namespace

CMap* FindRelatedMap(LPCWSTR mapName, std::int32_t x, std::int32_t y, RECT* hotRect, RECT* targetRect,
                     POINT* targetPoint) {
    if (g_mapCatalogue.homeMap == nullptr || mapName == nullptr) return nullptr;
    const POINT point{x, y};
    const RelatedMap* found = applying_link(g_mapCatalogue.homeMap, mapName, point);
    // The home map also has a slot, so its links are looked at twice.
    for (int slot = 0; found == nullptr && slot < MaxMaps && g_mapCatalogue.slots[slot] != nullptr; ++slot)
        found = applying_link(g_mapCatalogue.slots[slot], mapName, point);
    if (found == nullptr) return nullptr;
    *hotRect = found->hotRect;
    *targetRect = found->targetRect;
    *targetPoint = MapPointBetweenRects(point, *hotRect, *targetRect);
    return FindMapByName(found->targetMapName);
}

POINT MapPointBetweenRects(POINT point, const RECT& hot, const RECT& target) {
    using i64 = std::int64_t;
    const i64 hotWidth = std::max<i64>(0, i64{hot.right} - hot.left);
    const i64 hotHeight = std::max<i64>(0, i64{hot.bottom} - hot.top);
    const i64 targetWidth = std::max<i64>(0, i64{target.right} - target.left);
    const i64 targetHeight = std::max<i64>(0, i64{target.bottom} - target.top);
    const i64 dx = std::max<i64>(0, i64{point.x} - hot.left);
    const i64 dy = std::max<i64>(0, i64{point.y} - hot.top);
    i64 x = target.left;
    if (hotWidth > 0 && targetWidth > 0) x += scaled(dx, targetWidth, hotWidth);
    i64 y = target.top;
    if (hotHeight > 0 && targetHeight > 0) y += scaled(dy, targetHeight, hotHeight);
    return POINT{platform::saturate(x), platform::saturate(y)};
}

// MapHistory: the maps the user has left, most recent last, for Back. A
// ring of ten that overwrites its oldest entry when full. It never owns the
// maps; they belong to the catalogue.
#pragma once

#include "mapdb/map.h"

#include <cstdint>

class MapHistory {
public:
    static constexpr int SlotCount = 10;

    CMap* slots[SlotCount] = {};
    std::int32_t index = 0;  // the slot the next push writes

    // Every slot empty, the index at 0.
    void Clear();
    // Writes map at the index and moves it on, round to 0 after the last
    // slot; a full history loses its oldest map.
    void Push(CMap* map);
    // Moves the index back (round to the last slot) and takes the map there,
    // emptying the slot; null when the history is empty.
    CMap* Pop();
    // The map the next Pop would give, or null; changes nothing.
    CMap* Peek() const;
};

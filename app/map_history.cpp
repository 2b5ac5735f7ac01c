#include "app/map_history.h"

void MapHistory::Clear() {
    for (CMap*& slot : slots) slot = nullptr;
    index = 0;
}

void MapHistory::Push(CMap* map) {
    slots[index] = map;
    index = index + 1 == SlotCount ? 0 : index + 1;
}

CMap* MapHistory::Pop() {
    index = index == 0 ? SlotCount - 1 : index - 1;
    CMap* map = slots[index];
    slots[index] = nullptr;
    return map;
}

CMap* MapHistory::Peek() const { return slots[index == 0 ? SlotCount - 1 : index - 1]; }

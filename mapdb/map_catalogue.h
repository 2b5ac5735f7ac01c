// The map catalogue: every map of the guide, loaded once at start-up by
// LoadAllMaps, plus the two maps whose images stay loaded: the home map
// (HOME.DAB) and the main map (MAIN.DAB). Readers walk the slots from slot 0
// and stop at the first null slot or after the last.
#pragma once

#include "mapdb/map.h"
#include "platform/win32.h"

constexpr int MaxMaps = 100;

struct MapCatalogue {
    // The maps in the order the directory listing gave their files, without
    // gaps; owned. Every map here has its records.
    CMap* slots[MaxMaps] = {};
    CMap* homeMap = nullptr;  // also in a slot
    CMap* mainMap = nullptr;  // also in a slot
};

// The one catalogue of the program.
extern MapCatalogue g_mapCatalogue;

// Loads every .DAB file of the program's directory (at most MaxMaps) into
// the catalogue and the images of the home and main maps, reporting in the
// loading log laid over window. Returns the number of maps loaded, or 0
// when the home or main map is missing or its image does not load; the
// catalogue is then empty and the log stays with its messages.
int LoadAllMaps(HWND window);
// Destroys every map of the catalogue and empties it.
void FreeAllMaps();
// The first map whose map name is name exactly (case-sensitive): the home
// map first, then the slots in order. Null when nothing is found or there
// is no home map.
CMap* FindMapByName(LPCWSTR name);

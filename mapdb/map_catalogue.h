// The map catalogue: every map of the guide, loaded once at start-up by
// LoadAllMaps, plus the two maps whose images stay loaded: the home map
// (HOME.DAB) and the main map (MAIN.DAB). Readers walk the slots from slot 0
// and stop at the first null slot or after the last.
#pragma once

#include "mapdb/map.h"
#include "platform/win32_drawing.h"

#include <functional>

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

// Receives the loading's report piece by piece, in order: the header, the
// memory figures, each database that failed and why the home or main map
// did not load. Pieces end their lines with "\r\n" themselves, except a
// map's error text, which comes as it is.
using LoadingReport = std::function<void(LPCWSTR text)>;

// Loads every .DAB file of the program's directory (at most MaxMaps) into
// the catalogue and the images of the home and main maps, whose views draw
// into window, reporting each step. Returns the number of maps loaded, or 0
// when the home or main map is missing or its image does not load; the
// catalogue is then empty.
int LoadAllMaps(HWND window, const LoadingReport& report);
// Destroys every map of the catalogue and empties it.
void FreeAllMaps();
// The first map whose map name is name exactly (case-sensitive): the home
// map first, then the slots in order. Null when nothing is found or there
// is no home map.
CMap* FindMapByName(LPCWSTR name);

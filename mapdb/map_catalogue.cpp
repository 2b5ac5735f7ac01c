#include "mapdb/map_catalogue.h"

#include "mapdb/module_directory.h"

#include <new>

MapCatalogue g_mapCatalogue;

namespace {

// Maps live in heap blocks of their own, so that tests can refuse one.
CMap* new_map() {
    void* block = LocalAlloc(LMEM_FIXED, sizeof(CMap));
    return block ? new (block) CMap : nullptr;
}

void delete_map(CMap* map) {
    map->Close();
    map->~CMap();
    LocalFree(map);
}

void report_line(const LoadingReport& report, LPCWSTR first, LPCWSTR second) {
    report(first);
    report(second);
    report(u"\r\n");
}

// Reports the memory the machine has left. The figures are 64-bit: a
// machine with more than 4 GiB would wrap round in 32 bits.
void report_memory_status(const LoadingReport& report) {
    MEMORYSTATUS status{};
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    WCHAR line[WSPRINTF_MAX + 1];
    report(u"Memory Available\r\n");
    wsprintfW(line, u"%I64u Physical\r\n", static_cast<unsigned long long>(status.dwAvailPhys));
    report(line);
    wsprintfW(line, u"%I64u Virtual\r\n", static_cast<unsigned long long>(status.dwAvailVirtual));
    report(line);
    report(u"Please wait....\r\n");
}

// Loads one database of the listing into the next free slot; the count
// grows when it loads.
void load_one(LPCWSTR fileName, int& count, const LoadingReport& report) {
    WCHAR path[MAX_PATH];
    lstrcpynW(path, fileName, MAX_PATH);
    // A path that cannot be built whole must not be opened as it stands: a
    // bare name would be looked for in the working directory.
    if (!PrependModuleDirectory(path)) {
        report_line(report, u"Failed to load data for ", fileName);
        return;
    }
    CMap* map = new_map();
    if (map == nullptr) {
        report_line(report, u"Failed to create ", fileName);
        return;
    }
    map->Open(path);
    if (!map->dataLoaded) {
        report_line(report, u"Failed to load data for ", fileName);
        delete_map(map);
        return;
    }
    g_mapCatalogue.slots[count++] = map;
    if (lstrcmpiW(fileName, u"HOME.DAB") == 0) g_mapCatalogue.homeMap = map;
    if (lstrcmpiW(fileName, u"MAIN.DAB") == 0) g_mapCatalogue.mainMap = map;
}

// Loads the image of the home or main map; on failure reports it with the
// map's own error text.
bool load_image(CMap* map, HWND window, LPCWSTR failure, const LoadingReport& report) {
    map->LoadImage(window);
    if (map->imageLoaded) return true;
    report(failure);
    report(u"Error string:-\r\n");
    WCHAR error[MAX_PATH];
    map->GetError(error);
    report(error);
    return false;
}

}  // namespace

int LoadAllMaps(HWND window, const LoadingReport& report) {
    report(u"Mapfolio V1.0");
    report(u"\r\nBuild Options = LG+RG+DM");
    report(u"\r\nLoading Maps\r\n");
    report_memory_status(report);

    // Maps of an earlier load are freed, not just forgotten.
    FreeAllMaps();
    int count = 0;
    WCHAR pattern[MAX_PATH] = u"*.DAB";
    if (PrependModuleDirectory(pattern)) {
        WIN32_FIND_DATAW found{};
        HANDLE find = FindFirstFileW(pattern, &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                load_one(found.cFileName, count, report);
            } while (count < MaxMaps && FindNextFileW(find, &found));
            FindClose(find);
        }
    }

    if (g_mapCatalogue.homeMap == nullptr || g_mapCatalogue.mainMap == nullptr) {
        report(u"Failed to create Home and/or Main map\r\n");
        FreeAllMaps();
        return 0;
    }
    if (!load_image(g_mapCatalogue.homeMap, window, u"Failed to load Home Images\r\n", report) ||
        !load_image(g_mapCatalogue.mainMap, window, u"Failed to load Main Images\r\n", report)) {
        FreeAllMaps();
        return 0;
    }
    return count;
}

void FreeAllMaps() {
    for (CMap*& slot : g_mapCatalogue.slots) {
        if (slot != nullptr) delete_map(slot);
        slot = nullptr;
    }
    g_mapCatalogue.homeMap = nullptr;
    g_mapCatalogue.mainMap = nullptr;
}

CMap* FindMapByName(LPCWSTR name) {
    if (name == nullptr || g_mapCatalogue.homeMap == nullptr) return nullptr;
    LPCWSTR homeName = g_mapCatalogue.homeMap->MapName();
    if (homeName != nullptr && lstrcmpW(homeName, name) == 0) return g_mapCatalogue.homeMap;
    for (CMap* map : g_mapCatalogue.slots) {
        if (map == nullptr) break;
        LPCWSTR mapName = map->MapName();
        if (mapName != nullptr && lstrcmpW(mapName, name) == 0) return map;
    }
    return nullptr;
}

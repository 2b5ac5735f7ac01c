// Fuzz target: any bytes as a .DAB file must parse or fail cleanly.
#include "mapdb/map.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The parser reads from a path; an in-memory file keeps the runs fast.
    static int fd = memfd_create("fuzz.dab", 0);
    if (fd < 0) return 0;
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;
    std::string path = "/proc/self/fd/" + std::to_string(fd);
    std::u16string wide(path.begin(), path.end());
    CMap map;
    map.Open(wide.c_str());
    if (map.dataLoaded) {
        // Walk everything the parse produced.
        std::size_t total = 0;
        for (auto* c = map.categoryList; c; c = c->next) {
            for (auto* l = c->firstLocation; l; l = l->next) total += lstrlenW(l->name) + lstrlenW(l->description);
        }
        for (auto* t = map.topicList; t; t = t->next) total += lstrlenW(t->title) + lstrlenW(t->text);
        for (auto* r = map.relatedMapList; r; r = r->next) total += lstrlenW(r->sourceMapName) + lstrlenW(r->targetMapName);
        for (auto* g = map.linkGroupList; g; g = g->next) {
            for (auto* e = g->firstEntry; e; e = e->next) total += lstrlenW(e->firstText) + lstrlenW(e->secondText);
        }
        for (auto* b = map.backgroundImageList; b; b = b->next) total += lstrlenW(b->fileName);
        total += lstrlenW(map.imageName) + lstrlenW(map.versionRecord->text) + lstrlenW(map.nameRecord->mapName);
        if (total == static_cast<std::size_t>(-1)) std::abort();
    }
    map.Close();
    return 0;
}

// The records of one map database. They live in the map's record arena, one
// behind the other in the order they were parsed, each at an address that is
// a multiple of 4, its strings directly behind it. Records are read-only once
// the parse is done.
#pragma once

#include "platform/win32_drawing.h"

#include <cstdint>

// Records start on 4-byte boundaries although they hold 8-byte pointers, so
// they are packed to 4: the compiler then reads their pointers with
// unaligned-safe loads. Never take the address of a pointer member.
#pragma pack(push, 4)

struct DabVersion {
    WCHAR* text;
    std::int32_t number;  // the text's value as by _wtol
};

struct DabName {
    WCHAR* mapName;  // the name a map is found by and shown with
    WCHAR* secondText;
    WCHAR* thirdText;
};

struct InfoTopic {
    WCHAR* title;
    WCHAR* text;  // may hold HTML
    InfoTopic* next;
};

struct Location {
    std::uint32_t position;  // x in the high 16 bits, y in the low 16 bits
    WCHAR* name;
    WCHAR* description;  // null when the line had no fourth field
    Location* next;
};

struct LocationCategory {
    WCHAR* name;
    Location* firstLocation;
    LocationCategory* next;
};

struct RelatedMap {
    WCHAR* sourceMapName;  // the map the hot rectangle lies on
    RECT hotRect;          // source map coordinates
    WCHAR* targetMapName;
    RECT targetRect;  // target map coordinates
    RelatedMap* next;
};

struct LinkEntry {
    std::int32_t number;
    std::uint32_t point;  // packed as Location::position
    WCHAR* firstText;
    WCHAR* secondText;
    LinkEntry* next;
};

struct LinkGroup {
    WCHAR* name;
    LinkEntry* firstEntry;
    LinkGroup* next;
};

struct BackgroundImage {
    WCHAR* fileName;  // relative to the directory of the .DAB file
    std::int32_t borderSlot;
    BackgroundImage* next;
};

#pragma pack(pop)

inline int LocationX(std::uint32_t position) { return static_cast<int>(position >> 16); }
inline int LocationY(std::uint32_t position) { return static_cast<int>(position & 0xFFFF); }
inline std::uint32_t PackLocation(std::int32_t x, std::int32_t y) {
    return (static_cast<std::uint32_t>(x & 0xFFFF) << 16) | static_cast<std::uint32_t>(y & 0xFFFF);
}

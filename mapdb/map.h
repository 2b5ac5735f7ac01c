// CMap: one map of the guide. Its records, parsed from its .DAB file into one
// record arena; the file's directory, where its images are found; the reason
// of its last failure; its view while its image is loaded; and where the user
// was when the map was last left.
#pragma once

#include "mapdb/records.h"
#include "platform/win32_drawing.h"

#include <cstdint>

class CMapView;

// Cuts a path just after its last '/' (the separator stays). False for a null
// or empty path; a path without separator is left whole.
bool StripFileName(WCHAR* path);

// The path of the image file that a database in directory (which ends in
// '/') names as name, into dest (MAX_PATH units). A guide made on a file
// system that ignores letter case (the handheld's) may name "HARBOUR.TWK"
// for harbour.twk: when no file has the name as written, the file of that
// directory whose name matches it without regard to case is taken, the
// first in sorted order when several do. A name with wildcards is taken as
// written, never as a pattern. False when the path does not fit.
bool FindImageFile(WCHAR* dest, LPCWSTR directory, LPCWSTR name);

class CMap {
public:
    BYTE dataLoaded = 0;   // the parse succeeded and the arena is held
    BYTE imageLoaded = 0;  // the view exists and its image is open
    void* recordArena = nullptr;
    CMapView* mapView = nullptr;  // owned; null while no image is loaded
    WCHAR dabPath[MAX_PATH] = {};
    WCHAR dabDirectory[MAX_PATH] = {};  // up to and including the last '/'
    WCHAR errorText[MAX_PATH] = {};
    DabVersion* versionRecord = nullptr;
    DabName* nameRecord = nullptr;
    InfoTopic* topicList = nullptr;
    LocationCategory* categoryList = nullptr;
    RelatedMap* relatedMapList = nullptr;
    BackgroundImage* backgroundImageList = nullptr;
    LinkGroup* linkGroupList = nullptr;
    WCHAR* imageName = nullptr;  // relative to dabDirectory
    BYTE hasSavedView = 0;
    std::int32_t savedCenterX = 0;
    std::int32_t savedCenterY = 0;
    std::int32_t savedZoom = 0;

    // Construction: parses the database at path. A map whose parse failed
    // still exists, with dataLoaded clear and the reason in errorText. When
    // failedLine is given it receives the 1-based line at which a failed
    // parse stopped, or 0 when it stopped at the end of the file or before
    // reading any line.
    void Open(LPCWSTR path, int* failedLine = nullptr);
    // Destruction: frees the records and the view.
    void Close();
    // Creates and opens the view of the map image for window, then loads the
    // border images into it (a border image that fails leaves its slot
    // empty). False, with the reason in errorText and no view, when the
    // image does not load. Called only while imageLoaded is clear.
    bool LoadImage(HWND window);
    // Destroys the view, if there is one.
    void UnloadImage();
    // Reads the database into the record arena; see map_parse.cpp.
    bool Parse(LPCWSTR path, int* failedLine = nullptr);
    // Copies errorText into dest (MAX_PATH units).
    void GetError(WCHAR* dest) const;
    // The first location, in list order, nearest to (x, y) within radius map
    // pixels (the radius itself included), or null.
    Location* FindNearestLocation(std::int32_t x, std::int32_t y, std::int32_t radius) const;

    // The map name (first text of the name record), or null without records.
    LPCWSTR MapName() const { return nameRecord ? nameRecord->mapName : nullptr; }

    void SetError(LPCWSTR text);
};

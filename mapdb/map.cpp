#include "mapdb/map.h"

#include "mapview/map_view.h"

#include <new>

bool StripFileName(WCHAR* path) {
    if (path == nullptr || path[0] == 0) return false;
    WCHAR* cut = nullptr;
    for (WCHAR* p = path; *p; ++p) {
        if (*p == u'/') cut = p + 1;
    }
    if (cut) *cut = 0;
    return true;
}

void CMap::SetError(LPCWSTR text) { lstrcpynW(errorText, text, MAX_PATH); }

void CMap::Open(LPCWSTR path, int* failedLine) {
    hasSavedView = 0;
    dataLoaded = 0;
    savedCenterX = 0;
    imageLoaded = 0;
    savedCenterY = 0;
    errorText[0] = 0;
    mapView = nullptr;
    // A path that does not fit would name another file once cut; such a
    // database cannot be opened.
    bool fits = lstrlenW(path) < MAX_PATH;
    lstrcpynW(dabPath, path, MAX_PATH);
    if (failedLine) *failedLine = 0;
    bool parsed = fits ? Parse(dabPath, failedLine) : (SetError(u"Failed to open the database"), false);
    lstrcpynW(dabDirectory, dabPath, MAX_PATH);
    StripFileName(dabDirectory);
    if (parsed) dataLoaded = 1;
}

void CMap::Close() {
    if (dataLoaded) {
        LocalFree(recordArena);
        recordArena = nullptr;
        dataLoaded = 0;
    }
    if (imageLoaded) UnloadImage();
}

namespace {

// dabDirectory followed by name into dest (MAX_PATH units); false when the
// two together do not fit, since a path cut short would name another file.
bool join_path(WCHAR* dest, LPCWSTR directory, LPCWSTR name) {
    const int d = lstrlenW(directory), n = lstrlenW(name);
    if (d + n >= MAX_PATH) return false;
    lstrcpyW(dest, directory);
    lstrcpyW(dest + d, name);
    return true;
}

}  // namespace

bool FindImageFile(WCHAR* dest, LPCWSTR directory, LPCWSTR name) {
    if (!join_path(dest, directory, name)) return false;
    const int length = lstrlenW(dest);
    int cut = length;  // start of the file name within dest
    while (cut > 0 && dest[cut - 1] != u'/') --cut;
    for (int i = cut; i < length; ++i) {
        if (dest[i] == u'*' || dest[i] == u'?') return true;
    }
    // The listing matches without regard to case and comes sorted.
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW(dest, &found);
    if (find == INVALID_HANDLE_VALUE) return true;
    WCHAR first[MAX_PATH] = {};
    bool exact = false;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (lstrcmpW(found.cFileName, dest + cut) == 0) exact = true;
        else if (first[0] == 0) lstrcpynW(first, found.cFileName, MAX_PATH);
    } while (!exact && FindNextFileW(find, &found));
    FindClose(find);
    // Same length by the match, so the other name fits where the first was.
    if (!exact && first[0] != 0 && lstrlenW(first) == length - cut) lstrcpyW(dest + cut, first);
    return true;
}

namespace {

// The view lives in a heap block of its own, so that tests can refuse it.
CMapView* new_view() {
    void* block = LocalAlloc(LMEM_FIXED, sizeof(CMapView));
    return block ? new (block) CMapView : nullptr;
}

void delete_view(CMapView* view) {
    view->Close();
    view->~CMapView();
    LocalFree(view);
}

}  // namespace

bool CMap::LoadImage(HWND window) {
    // Callers load only a map without image; should one load again, the
    // view it has goes first rather than leaking.
    UnloadImage();
    if (imageName == nullptr) {
        SetError(u"No Database Image Name Available");
        return false;
    }
    WCHAR path[MAX_PATH];
    WCHAR message[WSPRINTF_MAX + 1];
    if (!FindImageFile(path, dabDirectory, imageName)) {
        wsprintfW(message, u"Failed to open %s", imageName);
        SetError(message);
        return false;
    }
    CMapView* view = new_view();
    if (view == nullptr) {
        wsprintfW(message, u"Insufficient memory for %s", path);
        SetError(message);
        return false;
    }
    view->Open(path, window);
    mapView = view;
    if (!view->open) {
        view->GetError(errorText);
        delete_view(view);
        mapView = nullptr;
        imageLoaded = 0;
        return false;
    }
    imageLoaded = 1;
    for (BackgroundImage* image = backgroundImageList; image; image = image->next) {
        // A border image that does not load, or whose path does not fit, is
        // simply not drawn.
        if (FindImageFile(path, dabDirectory, image->fileName)) view->LoadBorderImage(path, image->borderSlot);
    }
    return true;
}

void CMap::UnloadImage() {
    if (mapView == nullptr) return;
    delete_view(mapView);
    mapView = nullptr;
    imageLoaded = 0;
}

void CMap::GetError(WCHAR* dest) const { lstrcpynW(dest, errorText, MAX_PATH); }

Location* CMap::FindNearestLocation(std::int32_t x, std::int32_t y, std::int32_t radius) const {
    if (categoryList == nullptr) return nullptr;
    // 64-bit squares: coordinates reach 65535 and taps may lie anywhere.
    std::int64_t best = 2147483647;
    Location* found = nullptr;
    for (LocationCategory* category = categoryList; category; category = category->next) {
        for (Location* location = category->firstLocation; location; location = location->next) {
            std::int64_t dx = static_cast<std::int64_t>(x) - LocationX(location->position);
            std::int64_t dy = static_cast<std::int64_t>(y) - LocationY(location->position);
            std::int64_t d = dx * dx + dy * dy;
            if (d < best) {
                found = location;
                best = d;
            }
        }
    }
    std::int64_t r = radius;
    if (best > r * r) return nullptr;
    return found;
}

// CMapView: the picture side of one map. It holds the decoded map image
// selected into a memory DC for its whole life, up to four border images,
// the zoom step and the viewport (which part of the image is shown, and
// where in the window), converts between window and map coordinates, and
// draws straight into its window whenever the viewport changes: no back
// buffer, no waiting for a paint message.
//
// Map coordinates are pixels of the full-size image, window coordinates
// pixels of the window's client area; both x right, y down. Z below is the
// percentage ZoomTable holds at the zoom index.
#pragma once

#include "mapview/zoom_table.h"
#include "platform/win32_drawing.h"

#include <cstdint>

// A rectangle as origin and size, the way the viewport is kept.
struct ViewRect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// One border image: its memory DC, the bitmap that DC held before, and the
// image itself. All three are null while the slot is empty.
struct BorderSlot {
    HDC memorySurface = nullptr;
    HBITMAP previousBitmap = nullptr;
    HBITMAP bitmap = nullptr;
};

class CMapView {
public:
    // Border slots by edge: drawn along the top, right, bottom and left.
    static constexpr int BorderSlotCount = 4;

    HDC memorySurface = nullptr;   // holds mapBitmap from Open to Close
    HDC windowSurface = nullptr;   // the window's DC while one drawing runs
    HWND window = nullptr;
    HBITMAP previousBitmap = nullptr;  // memorySurface's bitmap before mapBitmap
    HBITMAP mapBitmap = nullptr;       // owned; from DecodeMapImage
    BorderSlot borderSlots[BorderSlotCount];
    BYTE hasBorders = 0;  // some slot has held an image
    BITMAP bitmapDescription{};
    BYTE open = 0;
    WCHAR imagePath[MAX_PATH] = {};
    WCHAR errorText[MAX_PATH] = {};
    std::int32_t imageWidth = 0;
    std::int32_t imageHeight = 0;
    ViewRect sourceRect;  // the part of the image shown, map coordinates
    std::int32_t clientWidth = 0;  // taken once, at Open
    std::int32_t clientHeight = 0;
    ViewRect destRect;  // where sourceRect lands, window coordinates
    std::int32_t zoomIndex = DefaultZoomIndex;
    RECT overviewFrame{};  // outer rectangle of the last overview frame drawn

    // Decodes the image at path and prepares the view for window; draws
    // nothing. On failure the view is not open, errorText says why, and the
    // handles obtained so far stay for Close.
    void Open(LPCWSTR path, HWND window);
    // Releases every bitmap and memory DC; the owner discards the view.
    void Close();
    // Decodes a border image into slot 0..3; false (and the slot as it was)
    // when anything fails.
    bool LoadBorderImage(LPCWSTR path, std::int32_t slot);
    // Copies errorText into dest, which holds MAX_PATH units.
    void GetError(WCHAR* dest) const;

    // Recomputes the viewport keeping the source origin, then draws.
    void Refresh();
    // Recomputes the viewport with map point (x, y) in the middle, then draws.
    void CenterOn(std::int32_t x, std::int32_t y);
    void CenterOnMiddle();
    // Moves the source origin by a zoom-dependent multiple of (dx, dy)
    // window pixels, drawing the overview frame and then the map around it.
    void Pan(std::int32_t dx, std::int32_t dy);
    // One zoom step, keeping the centre, with the new percentage shown for
    // 200 ms in between.
    void ZoomIn();
    void ZoomOut();
    // ZoomIn, or from 250 % round to 25 %.
    void CycleZoom();
    std::int32_t GetZoomPercent() const;
    // Selects the step equal to percent, else 100 %; returns the percentage
    // selected. Draws nothing.
    std::int32_t SetZoomPercent(std::int32_t percent);
    // The map point in the middle of the source rectangle; outputs untouched
    // while the view is not open.
    void GetCenter(std::int32_t* x, std::int32_t* y) const;
    // Window point to map point; false outside the drawn map (the values may
    // have changed by then).
    bool ScreenToMap(std::int32_t* x, std::int32_t* y) const;
    // Map point to window point; false, the values untouched, outside the
    // shown part.
    bool MapToScreen(std::int32_t* x, std::int32_t* y) const;

    // Drawing (map_view_drawing.cpp).
    // The border images and the flat margin around a map that does not fill
    // the window; draws into the surface of the map drawing that calls it.
    void DrawBorders();
    // The whole image in small in the top-left corner, the part in view
    // marked in it; remembered in overviewFrame.
    void DrawOverview();
    // The current percentage, framed, in the middle of the window.
    void DrawZoomLabel();
    // A dark grey line in window coordinates.
    void DrawLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t penWidth);
    // The outline of a rectangle given in map coordinates.
    void DrawMapRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                     std::int32_t penWidth, COLORREF color);

private:
    std::int32_t Zoom() const { return ZoomTable[zoomIndex]; }
    // Both axes of the viewport; the origin asked for is used on an axis
    // only where the image is larger than the window.
    void ComputeViewport(std::int64_t originX, std::int64_t originY);
    // One zoom step to index, when that entry is usable.
    void ZoomTo(std::int32_t index);
    void BeginDrawing();
    void EndDrawing();
    // The source rectangle scaled onto the destination, the margin around
    // it, and the window surface released. Callers obtain the surface.
    void DrawMap();
    void FormatError(LPCWSTR format);
};

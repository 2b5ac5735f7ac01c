// CMapView: opening and closing, border images, the viewport arithmetic,
// zoom steps and coordinate conversions. The drawing is in
// map_view_drawing.cpp.
#include "mapview/map_view.h"

#include "mapview/image_decoder.h"

#include <algorithm>

namespace {

using i64 = std::int64_t;

// Viewport values are 32-bit; every intermediate is 64-bit so that a point
// from a database or a long drag cannot wrap around, and is saturated back
// to 32 bits (platform::saturate) where it is stored.

// The message for a failed decode; %s is the image path.
LPCWSTR decode_message(ImageResult result) {
    switch (result) {
        case ImageOpenFailed: return u"Failed to open %s";
        case ImageBadSignature: return u"%s is not a valid image format";
        case ImageNoMemory: return u"Insufficient memory for %s";
        default: return u"%s is not a supported format";
    }
}

// One axis of the viewport: where the image at zoom percent is no larger
// than the window, all of it, centred (the odd pixel after it); otherwise a
// window's worth of it starting at origin, kept inside the image.
void fit_axis(std::int32_t client, std::int32_t image, std::int32_t zoom, i64 origin, std::int32_t* source,
              std::int32_t* sourceLength, std::int32_t* dest, std::int32_t* destLength) {
    i64 length = static_cast<i64>(client) * 100 / zoom;
    if (length > image) {
        *sourceLength = image;
        *source = 0;
        *destLength = platform::saturate(std::min<i64>(client, static_cast<i64>(image) * zoom / 100));
        *dest = (client - *destLength) / 2;
    } else {
        *sourceLength = platform::saturate(length);
        *destLength = client;
        *dest = 0;
        *source = platform::saturate(std::min<i64>(origin, static_cast<i64>(image) - length));
    }
}

}  // namespace

void CMapView::FormatError(LPCWSTR format) {
    // wsprintfW writes at most WSPRINTF_MAX units; the text is then cut to
    // the error buffer.
    WCHAR message[WSPRINTF_MAX + 1];
    wsprintfW(message, format, imagePath);
    lstrcpynW(errorText, message, MAX_PATH);
}

void CMapView::Open(LPCWSTR path, HWND owner) {
    window = owner;
    open = 0;
    memorySurface = nullptr;
    previousBitmap = nullptr;
    mapBitmap = nullptr;
    for (BorderSlot& slot : borderSlots) slot = BorderSlot{};
    hasBorders = 0;
    errorText[0] = 0;
    if (path == nullptr) path = u"";
    lstrcpynW(imagePath, path, MAX_PATH);

    // The path as given, not the copy: a copy cut to the buffer would name
    // another file.
    ImageResult result = DecodeMapImage(path, &mapBitmap);
    if (result != ImageOk) {
        mapBitmap = nullptr;
        FormatError(decode_message(result));
        return;
    }
    memorySurface = CreateCompatibleDC(nullptr);
    if (memorySurface == nullptr) {
        lstrcpynW(errorText, u"CreateCompatibleDC() failed", MAX_PATH);
        return;
    }
    previousBitmap = static_cast<HBITMAP>(SelectObject(memorySurface, mapBitmap));
    if (previousBitmap == nullptr) {
        lstrcpynW(errorText, u"SelectObject() failed", MAX_PATH);
        return;
    }
    if (GetObjectW(mapBitmap, sizeof(BITMAP), &bitmapDescription) == 0) {
        lstrcpynW(errorText, u"GetObject() failed", MAX_PATH);
        return;
    }
    imageWidth = bitmapDescription.bmWidth;
    imageHeight = bitmapDescription.bmHeight;
    sourceRect = ViewRect{};
    destRect = ViewRect{};
    RECT client{};
    GetClientRect(window, &client);
    clientWidth = client.right;
    clientHeight = client.bottom;
    zoomIndex = DefaultZoomIndex;
    open = 1;
}

void CMapView::Close() {
    // Handles are nulled as they go, so that nothing is released twice.
    if (memorySurface) {
        if (previousBitmap) SelectObject(memorySurface, previousBitmap);
        DeleteDC(memorySurface);
    }
    if (mapBitmap) DeleteObject(mapBitmap);
    memorySurface = nullptr;
    previousBitmap = nullptr;
    mapBitmap = nullptr;
    if (hasBorders) {
        for (BorderSlot& slot : borderSlots) {
            if (slot.memorySurface == nullptr) continue;
            if (slot.previousBitmap) SelectObject(slot.memorySurface, slot.previousBitmap);
            DeleteDC(slot.memorySurface);
            if (slot.bitmap) DeleteObject(slot.bitmap);
            slot = BorderSlot{};
        }
    }
    open = 0;
}

bool CMapView::LoadBorderImage(LPCWSTR path, std::int32_t slotIndex) {
    if (slotIndex < 0 || slotIndex >= BorderSlotCount || path == nullptr) return false;
    // The new image is made ready beside the slot and only then put in: a
    // database that names two images for one edge gets the later one (as
    // the margin colour comes from the slot drawn last), and when the later
    // one fails the earlier stays. Whatever it replaces is released here, so
    // nothing leaks or is released twice.
    BorderSlot fresh;
    if (DecodeMapImage(path, &fresh.bitmap) != ImageOk) return false;
    fresh.memorySurface = CreateCompatibleDC(nullptr);
    if (fresh.memorySurface == nullptr) {
        DeleteObject(fresh.bitmap);
        return false;
    }
    fresh.previousBitmap = static_cast<HBITMAP>(SelectObject(fresh.memorySurface, fresh.bitmap));
    if (fresh.previousBitmap == nullptr) {
        DeleteDC(fresh.memorySurface);
        DeleteObject(fresh.bitmap);
        return false;
    }
    BorderSlot& slot = borderSlots[slotIndex];
    if (slot.memorySurface) {
        SelectObject(slot.memorySurface, slot.previousBitmap);
        DeleteDC(slot.memorySurface);
        DeleteObject(slot.bitmap);
    }
    slot = fresh;
    hasBorders = 1;
    return true;
}

void CMapView::GetError(WCHAR* dest) const { lstrcpynW(dest, errorText, MAX_PATH); }

void CMapView::ComputeViewport(i64 originX, i64 originY) {
    const std::int32_t zoom = Zoom();
    fit_axis(clientWidth, imageWidth, zoom, originX, &sourceRect.x, &sourceRect.width, &destRect.x, &destRect.width);
    fit_axis(clientHeight, imageHeight, zoom, originY, &sourceRect.y, &sourceRect.height, &destRect.y,
             &destRect.height);
}

void CMapView::Refresh() {
    if (!open) return;
    BeginDrawing();
    ComputeViewport(sourceRect.x, sourceRect.y);
    DrawMap();
}

void CMapView::CenterOn(std::int32_t x, std::int32_t y) {
    if (!open) return;
    BeginDrawing();
    // The source size of this zoom decides the origin; on an axis where the
    // whole image fits the origin plays no part.
    const std::int32_t zoom = Zoom();
    const i64 width = static_cast<i64>(clientWidth) * 100 / zoom;
    const i64 height = static_cast<i64>(clientHeight) * 100 / zoom;
    ComputeViewport(std::max<i64>(0, x - width / 2), std::max<i64>(0, y - height / 2));
    DrawMap();
}

void CMapView::CenterOnMiddle() { CenterOn(imageWidth / 2, imageHeight / 2); }

void CMapView::Pan(std::int32_t dx, std::int32_t dy) {
    if (!open || (sourceRect.width >= imageWidth && sourceRect.height >= imageHeight)) return;
    DrawOverview();
    BeginDrawing();
    // The frame stays on screen while the map is drawn around it.
    ExcludeClipRect(windowSurface, overviewFrame.left, overviewFrame.top, overviewFrame.right, overviewFrame.bottom);
    const std::int32_t zoom = Zoom();
    // Smaller scales move further per window pixel, so a drag keeps pace
    // with the stylus.
    const i64 step = zoom >= 100 ? 2 : (100 - zoom) * 4 / 100;
    i64 x = std::max<i64>(0, sourceRect.x + dx * step);
    if (x + sourceRect.width > imageWidth) x = static_cast<i64>(imageWidth) - sourceRect.width;
    i64 y = std::max<i64>(0, sourceRect.y + dy * step);
    if (y + sourceRect.height > imageHeight) y = static_cast<i64>(imageHeight) - sourceRect.height;
    sourceRect.x = platform::saturate(x);
    sourceRect.y = platform::saturate(y);
    DrawMap();
}

void CMapView::ZoomTo(std::int32_t index) {
    if (!open || ZoomTable[index] == 0) return;
    zoomIndex = index;
    const std::int32_t cx = sourceRect.x + sourceRect.width / 2;
    const std::int32_t cy = sourceRect.y + sourceRect.height / 2;
    CenterOn(cx, cy);
    DrawZoomLabel();
    Sleep(200);
    // Paints over the label.
    CenterOn(cx, cy);
}

void CMapView::ZoomIn() { ZoomTo(zoomIndex - 1); }

void CMapView::ZoomOut() { ZoomTo(zoomIndex + 1); }

void CMapView::CycleZoom() {
    if (!open) return;
    if (ZoomTable[zoomIndex - 1] != 0) {
        ZoomIn();
        return;
    }
    // From the largest step round to the smallest, with a single label.
    zoomIndex = LastZoomIndex - 1;
    ZoomOut();
}

std::int32_t CMapView::GetZoomPercent() const { return ZoomTable[zoomIndex]; }

std::int32_t CMapView::SetZoomPercent(std::int32_t percent) {
    for (zoomIndex = FirstZoomIndex; ZoomTable[zoomIndex] != 0; ++zoomIndex) {
        if (ZoomTable[zoomIndex] == percent) return percent;
    }
    zoomIndex = DefaultZoomIndex;
    return ZoomTable[zoomIndex];
}

void CMapView::GetCenter(std::int32_t* x, std::int32_t* y) const {
    if (!open) return;
    *x = sourceRect.x + sourceRect.width / 2;
    *y = sourceRect.y + sourceRect.height / 2;
}

bool CMapView::ScreenToMap(std::int32_t* x, std::int32_t* y) const {
    if (!open) return false;
    const std::int32_t zoom = Zoom();
    if (*x < destRect.x) return false;
    const i64 dx = static_cast<i64>(*x) - destRect.x;
    if (dx > destRect.width) return false;
    *x = platform::saturate(std::min<i64>(imageWidth, dx * 100 / zoom + sourceRect.x));
    if (*y < destRect.y) return false;
    const i64 dy = static_cast<i64>(*y) - destRect.y;
    if (dy > destRect.height) return false;
    *y = platform::saturate(std::min<i64>(imageHeight, dy * 100 / zoom + sourceRect.y));
    return true;
}

bool CMapView::MapToScreen(std::int32_t* x, std::int32_t* y) const {
    const i64 px = *x, py = *y;
    if (px < sourceRect.x || px > static_cast<i64>(sourceRect.x) + sourceRect.width || py < sourceRect.y ||
        py > static_cast<i64>(sourceRect.y) + sourceRect.height)
        return false;
    const std::int32_t zoom = Zoom();
    *x = platform::saturate(std::min<i64>(destRect.width, (px - sourceRect.x) * zoom / 100) + destRect.x);
    *y = platform::saturate(std::min<i64>(destRect.height, (py - sourceRect.y) * zoom / 100) + destRect.y);
    return true;
}

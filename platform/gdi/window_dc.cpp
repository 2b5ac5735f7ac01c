#include "platform/gdi/window_dc.h"

#include "platform/gdi/surface.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace platform::gdi {
namespace {

WindowAreaLookup g_lookup = nullptr;
std::uint64_t g_drawings = 0;

// The DCs open on each window, from GetDC and BeginPaint.
std::unordered_map<HWND, std::vector<HDC>>& open_dcs() {
    static std::unordered_map<HWND, std::vector<HDC>> table;
    return table;
}

bool area_of(HWND window, WindowArea* area) {
    return window != nullptr && g_lookup != nullptr && g_lookup(window, area) && area->surface != nullptr;
}

}  // namespace

void set_window_area_lookup(WindowAreaLookup lookup) { g_lookup = lookup; }

HDC open_window_dc(HWND window, const RECT* area) {
    WindowArea where;
    if (!area_of(window, &where)) return nullptr;
    const RECT client = where.client;
    RECT clip = client;
    if (area != nullptr) {
        clip = RECT{std::max(client.left, client.left + area->left), std::max(client.top, client.top + area->top),
                    std::min(client.right, client.left + area->right),
                    std::min(client.bottom, client.top + area->bottom)};
        if (clip.right < clip.left) clip.right = clip.left;
        if (clip.bottom < clip.top) clip.bottom = clip.top;
    }
    HDC dc = create_surface_dc(where.surface, POINT{client.left, client.top}, clip);
    if (dc != nullptr) open_dcs()[window].push_back(dc);
    ++g_drawings;
    return dc;
}

bool close_window_dc(HWND window, HDC dc) {
    auto found = open_dcs().find(window);
    if (found == open_dcs().end()) return false;
    std::vector<HDC>& dcs = found->second;
    auto it = std::find(dcs.begin(), dcs.end(), dc);
    if (it == dcs.end()) return false;
    dcs.erase(it);
    if (dcs.empty()) open_dcs().erase(found);
    release_surface_dc(dc);
    ++g_drawings;
    return true;
}

void release_window_dcs(HWND window) {
    auto found = open_dcs().find(window);
    if (found == open_dcs().end()) return;
    for (HDC dc : found->second) release_surface_dc(dc);
    open_dcs().erase(found);
}

std::uint64_t window_drawing_count() { return g_drawings; }

bool window_dcs_open() { return !open_dcs().empty(); }

void release_all_window_dcs() {
    for (auto& entry : open_dcs()) {
        for (HDC dc : entry.second) release_surface_dc(dc);
    }
    open_dcs().clear();
}

}  // namespace platform::gdi

using namespace platform::gdi;

HDC GetDC(HWND window) { return open_window_dc(window, nullptr); }

int ReleaseDC(HWND window, HDC dc) {
    if (dc == nullptr) return 0;
    return close_window_dc(window, dc) ? 1 : 0;
}

BOOL GetClientRect(HWND window, LPRECT rect) {
    WindowArea where;
    if (rect == nullptr || !area_of(window, &where)) return FALSE;
    *rect = RECT{0, 0, where.client.right - where.client.left, where.client.bottom - where.client.top};
    return TRUE;
}

#include "platform/shell/menu_bar.h"

#include "platform/controls/menu_bar_window.h"
#include "platform/controls/menubar.h"
#include "platform/shell/frame.h"
#include "platform/shell/shell_frame.h"
#include "platform/system/resources.h"
#include "platform/user/window.h"
#include "platform/win32_windows.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace platform::shell {
namespace {

constexpr DWORD kMinRecordSize = 32;
constexpr std::size_t kWordsPerButton = 7;

struct BarEntry {
    HWND bar;
    bool hidden;  // SHCMBF_HIDDEN: made but not shown
};

std::vector<BarEntry> g_bars;

// Drops the bars that are gone.
void prune() {
    g_bars.erase(std::remove_if(g_bars.begin(), g_bars.end(), [](const BarEntry& e) { return !IsWindow(e.bar); }),
                 g_bars.end());
}

HWND owner_of(HWND bar) {
    user::Window* w = user::find(bar);
    return w && w->owner ? w->owner->handle : nullptr;
}

std::uint16_t word_at(const std::uint8_t* bytes, std::size_t index) {
    return static_cast<std::uint16_t>(bytes[2 * index] | (bytes[2 * index + 1] << 8));
}

// The buttons of a menu bar resource, or false when it is broken.
bool read_resource(HINSTANCE instance, UINT id, std::vector<TBBUTTON>& buttons) {
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(id), RT_RCDATA);
    if (resource == nullptr) return false;
    const auto* bytes = static_cast<const std::uint8_t*>(LockResource(LoadResource(instance, resource)));
    const std::size_t size = SizeofResource(instance, resource);
    if (bytes == nullptr || size < 4) return false;
    const std::size_t count = word_at(bytes, 1);
    if ((size - 4) / 2 / kWordsPerButton < count) return false;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = 2 + i * kWordsPerButton;
        TBBUTTON b{};
        b.iBitmap = static_cast<std::int16_t>(word_at(bytes, at));
        b.idCommand = word_at(bytes, at + 1);
        b.fsState = static_cast<BYTE>(word_at(bytes, at + 2));
        b.fsStyle = static_cast<BYTE>(word_at(bytes, at + 3));
        b.iString = word_at(bytes, at + 4);
        buttons.push_back(b);
    }
    return true;
}

}  // namespace

bool owns_menu_bar(HWND window) {
    for (const BarEntry& e : g_bars) {
        if (!e.hidden && IsWindow(e.bar) && owner_of(e.bar) == window) return true;
    }
    return false;
}

void forget_menu_bars() { g_bars.clear(); }

HWND shown_menu_bar() {
    prune();
    for (const BarEntry& e : g_bars) {
        if (IsWindowVisible(e.bar)) return e.bar;
    }
    return nullptr;
}

HWND frame_owner() {
    const auto& list = user::top_levels();
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        user::Window* w = *it;
        if (w->shellFrame || w->destroying || !(w->style & WS_VISIBLE)) continue;
        if (owns_bottom_bar(w->handle)) return w->handle;
    }
    return nullptr;
}

void arrange_frame() {
    prune();
    const HWND owner = frame_owner();
    for (const BarEntry& e : g_bars) {
        const bool show = !e.hidden && owner != nullptr && owner_of(e.bar) == owner;
        if (static_cast<bool>(IsWindowVisible(e.bar)) == show) continue;
        if (show) {
            ShowWindow(e.bar, SW_SHOWNA);
            // Painted now, so that the bar never shows before its buttons.
            UpdateWindow(e.bar);
        } else {
            ShowWindow(e.bar, SW_HIDE);
        }
    }
    static HWND shownDone = nullptr;
    const HWND done = done_button_window();
    if (done != shownDone) {
        shownDone = done;
        InvalidateRect(navigation_bar_window(), nullptr, FALSE);
        UpdateWindow(navigation_bar_window());
    }
}

}  // namespace platform::shell

BOOL SHCreateMenuBar(SHMENUBARINFO* info) {
    using namespace platform;
    if (info == nullptr || info->cbSize < shell::kMinRecordSize) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    info->hwndMB = nullptr;
    HWND parent = info->hwndParent;
    if (!IsWindow(parent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    std::vector<TBBUTTON> buttons;
    if (!(info->dwFlags & SHCMBF_EMPTYBAR) && !shell::read_resource(info->hInstRes, info->nToolBarId, buttons)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    HWND bar = controls::create_menu_bar_window(parent, shell::menu_bar_rect());
    if (bar == nullptr) return FALSE;
    // A window has one bar: a new one replaces the old.
    shell::prune();
    const HWND owner = shell::owner_of(bar);
    for (const shell::BarEntry& e : std::vector<shell::BarEntry>(shell::g_bars)) {
        if (shell::owner_of(e.bar) == owner) DestroyWindow(e.bar);
    }
    shell::prune();
    if (!buttons.empty()) SendMessageW(bar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    if (info->nBmpId != 0 && info->cBmpImages > 0)
        CommandBar_AddBitmap(bar, info->hInstRes, info->nBmpId, info->cBmpImages, 16, 16);
    shell::g_bars.push_back(shell::BarEntry{bar, (info->dwFlags & SHCMBF_HIDDEN) != 0});
    info->hwndMB = bar;
    shell::arrange_frame();
    return TRUE;
}

#include "platform/testing/dialog_controls.h"

#include "platform/base/crt.h"
#include "platform/controls/combobox.h"
#include "platform/controls/list_geometry.h"
#include "platform/controls/listbox.h"
#include "platform/dialogs/dialog_template.h"
#include "platform/user/message_queue.h"
#include "platform/user/window.h"

#include <algorithm>

namespace platform::testing {
namespace {

ListView view_of(const controls::ListGeometry& g) {
    ListView v;
    v.window = g.window;
    v.count = g.count;
    v.top = g.top;
    v.selection = g.selection;
    for (const controls::ListRow& row : g.rows)
        v.visible.push_back(ListItemView{row.index, row.text, row.rect, row.index == g.selection});
    v.bar.shown = g.barShown;
    if (g.barShown) {
        v.bar.enabled = g.bar.enabled;
        v.bar.up = g.bar.up;
        v.bar.down = g.bar.down;
        v.bar.track = g.bar.track;
        v.bar.thumb = g.bar.thumb;
    }
    return v;
}

}  // namespace

std::optional<ListView> list_box_view(HWND listBox) {
    const auto g = controls::list_box_geometry(listBox);
    if (!g) return std::nullopt;
    return view_of(*g);
}

std::optional<ComboView> combo_box_view(HWND combo) {
    const auto g = controls::combo_box_geometry(combo);
    if (!g) return std::nullopt;
    ComboView v;
    v.window = combo;
    v.field = g->field;
    v.button = g->button;
    v.count = g->count;
    v.selection = g->selection;
    v.dropped = g->dropped;
    if (g->selection >= 0) {
        const auto length = SendMessageW(combo, CB_GETLBTEXTLEN, g->selection, 0);
        v.text.assign(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, u'\0');
        SendMessageW(combo, CB_GETLBTEXT, g->selection, reinterpret_cast<LPARAM>(v.text.data()));
        v.text.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
    }
    if (g->list) v.list = view_of(*g->list);
    return v;
}

std::vector<std::u16string> list_texts(HWND control) {
    const bool combo = controls::combo_box_geometry(control).has_value();
    if (!combo && !controls::list_box_geometry(control)) return {};
    const UINT countMessage = combo ? CB_GETCOUNT : LB_GETCOUNT;
    const UINT lengthMessage = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    const UINT textMessage = combo ? CB_GETLBTEXT : LB_GETTEXT;
    std::vector<std::u16string> texts;
    const auto count = SendMessageW(control, countMessage, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto length = SendMessageW(control, lengthMessage, static_cast<WPARAM>(i), 0);
        std::u16string text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, u'\0');
        SendMessageW(control, textMessage, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
        texts.push_back(std::move(text));
    }
    return texts;
}

HWND front_dialog() {
    const auto& list = user::top_levels();
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        const user::Window* window = *it;
        if (window->destroying || !(window->style & WS_VISIBLE)) continue;
        if (lstrcmpiW(window->cls.name.c_str(), dialogs::kDialogClassName) == 0) return window->handle;
    }
    return nullptr;
}

POINT centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

}  // namespace platform::testing

#include "tools/script_state.h"

#include "app/main_window_state.h"
#include "app/loading_log.h"
#include "mapdb/map_catalogue.h"
#include "mapview/map_view.h"
#include "platform/testing/dialog_controls.h"
#include "platform/testing/headless.h"
#include "resources/resource_ids.h"
#include "tools/json_writer.h"
#include "tools/settings_values.h"

#include <vector>

namespace headless = platform::headless;

namespace {

void write_map_name(JsonWriter& json, const CMap* map) {
    if (map == nullptr) {
        json.null();
    } else {
        json.value(map->MapName());
    }
}

void write_numbers(JsonWriter& json, std::initializer_list<std::int64_t> numbers) {
    json.begin_array();
    for (std::int64_t n : numbers) json.value(n);
    json.end_array();
}

void write_view(JsonWriter& json, const CMapView* view) {
    if (view == nullptr || !view->open) {
        for (const char* key : {"zoom", "center", "source", "dest"}) json.key(key).null();
        return;
    }
    std::int32_t x = 0;
    std::int32_t y = 0;
    view->GetCenter(&x, &y);
    json.key("zoom").value(view->GetZoomPercent());
    json.key("center");
    write_numbers(json, {x, y});
    json.key("source");
    write_numbers(json, {view->sourceRect.x, view->sourceRect.y, view->sourceRect.width, view->sourceRect.height});
    json.key("dest");
    write_numbers(json, {view->destRect.x, view->destRect.y, view->destRect.width, view->destRect.height});
}

std::u16string window_text(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    const int got = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got < 0 ? 0 : got));
    return text;
}

// The location popup: an HTML viewer child of the main window. While it is
// hidden it has neither place nor text.
void write_popup(JsonWriter& json) {
    HWND popup = IsWindow(g_mainWindow) ? headless::find_child(g_mainWindow, u"DISPLAYCLASS") : nullptr;
    json.begin_object();
    const bool visible = popup != nullptr && IsWindowVisible(popup) != FALSE;
    json.key("visible").value(visible);
    if (!visible) {
        json.key("rect").null();
        json.key("text").null();
    } else {
        RECT rect{};
        GetWindowRect(popup, &rect);
        POINT topLeft{rect.left, rect.top};
        POINT bottomRight{rect.right, rect.bottom};
        ScreenToClient(g_mainWindow, &topLeft);
        ScreenToClient(g_mainWindow, &bottomRight);
        json.key("rect");
        write_numbers(json, {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y});
        json.key("text").value(headless::html_view_text(popup).c_str());
    }
    json.end_object();
}

void write_buttons(JsonWriter& json) {
    json.begin_object();
    if (IsWindow(g_mainWindow)) {
        for (const headless::MenuBarButton& button : headless::menu_bar_buttons(g_mainWindow)) {
            if (button.tip.empty()) continue;
            json.key(platform::to_utf8(button.tip)).value(button.enabled && !button.hidden);
        }
    }
    json.end_object();
}

void write_history(JsonWriter& json) {
    const MapHistory& history = g_mainState.history;
    json.begin_array();
    // The maps held run from the slot after the newest round to it.
    for (int i = 0; i < MapHistory::SlotCount; ++i) {
        const CMap* map = history.slots[(history.index + i) % MapHistory::SlotCount];
        if (map != nullptr) json.value(map->MapName());
    }
    json.end_array();
}

// A list of the dialog: its items in display order and the one selected
// (null for none), or both null for a list the dialog does not have.
void write_list(JsonWriter& json, HWND dialog, int id, bool combo, const char* items, const char* item) {
    HWND control = dialog ? GetDlgItem(dialog, id) : nullptr;
    json.key(items);
    if (control == nullptr) {
        json.null();
        json.key(item).null();
        return;
    }
    const std::vector<std::u16string> texts = platform::testing::list_texts(control);
    json.begin_array();
    for (const std::u16string& text : texts) json.value(text.c_str());
    json.end_array();
    const LRESULT selected = SendMessageW(control, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
    json.key(item);
    if (selected >= 0 && static_cast<std::size_t>(selected) < texts.size()) {
        json.value(texts[static_cast<std::size_t>(selected)].c_str());
    } else {
        json.null();
    }
}

// The Find or Information dialog in front, or null.
void write_dialog(JsonWriter& json) {
    HWND dialog = platform::testing::front_dialog();
    if (dialog == nullptr) {
        json.null();
        return;
    }
    // Only Find has a list of places.
    const bool find = GetDlgItem(dialog, IDC_FIND_LOCATIONS) != nullptr;
    json.begin_object();
    json.key("kind").value(find ? "find" : "information");
    write_list(json, dialog, IDC_FIND_MAPS, true, "maps", "map");
    write_list(json, find ? dialog : nullptr, IDC_FIND_CATEGORIES, true, "categories", "category");
    write_list(json, find ? dialog : nullptr, IDC_FIND_LOCATIONS, false, "items", "item");
    write_list(json, find ? nullptr : dialog, IDC_INFO_TOPICS, true, "topics", "topic");
    HWND pane = GetDlgItem(dialog, find ? IDC_FIND_DESCRIPTION : IDC_INFO_TEXT);
    json.key("pane");
    if (pane != nullptr) {
        json.value(headless::html_view_text(pane).c_str());
    } else {
        json.null();
    }
    json.end_object();
}

// The values of the program's settings key, by name.
void write_settings(JsonWriter& json) {
    std::vector<SettingValue> values;
    LONG status = 0;
    ReadSettingValues(&values, &status);
    json.begin_object();
    for (const SettingValue& value : values)
        json.key(platform::to_utf8(value.name)).value(SettingText(value.type, value.data).c_str());
    json.end_object();
}

void write_catalogue(JsonWriter& json) {
    json.key("maps").begin_array();
    for (const CMap* map : g_mapCatalogue.slots) {
        if (map == nullptr) break;
        json.value(map->MapName());
    }
    json.end_array();
    json.key("images").begin_array();
    for (const CMap* map : g_mapCatalogue.slots) {
        if (map == nullptr) break;
        if (map->imageLoaded) json.value(map->MapName());
    }
    json.end_array();
}

}  // namespace

std::string ProgramStateJson(std::optional<int> exited) {
    JsonWriter json;
    json.begin_object();
    json.key("title").value(headless::navigation_bar_text().c_str());
    json.key("current_map");
    write_map_name(json, g_mainState.currentMap);
    json.key("flags").begin_object();
    json.key("PopupShown").value(g_mainState.Has(PopupShown));
    json.key("ViewActive").value(g_mainState.Has(ViewActive));
    json.key("LinkHighlighted").value(g_mainState.Has(LinkHighlighted));
    json.key("BackAvailable").value(g_mainState.Has(BackAvailable));
    json.end_object();
    write_view(json, g_mainState.currentMap ? g_mainState.currentMap->mapView : nullptr);
    json.key("selected_location");
    if (g_mainState.selectedLocation != nullptr) {
        json.value(static_cast<LPCWSTR>(g_mainState.selectedLocation->name));
    } else {
        json.null();
    }
    json.key("link_target");
    write_map_name(json, g_mainState.linkTarget);
    json.key("popup");
    write_popup(json);
    json.key("buttons");
    write_buttons(json);
    json.key("history");
    write_history(json);
    write_catalogue(json);
    json.key("log");
    HWND log = LoadingLog::Window();
    if (log != nullptr && IsWindow(log)) {
        json.value(window_text(log).c_str());
    } else {
        json.null();
    }
    json.key("message_box");
    if (auto box = headless::message_box()) {
        json.begin_object();
        json.key("caption").value(box->caption.c_str());
        json.key("text").value(box->text.c_str());
        json.end_object();
    } else {
        json.null();
    }
    int clicks = 0;
    int beeps = 0;
    for (const auto& sound : headless::sounds()) {
        if (sound.kind == platform::backend::SoundRecord::Kind::Wave) ++clicks;
        if (sound.kind == platform::backend::SoundRecord::Kind::Beep) ++beeps;
    }
    json.key("sounds").value(clicks);
    json.key("beeps").value(beeps);
    json.key("exited");
    if (exited) {
        json.value(*exited);
    } else {
        json.null();
    }
    // Paints the main window has handled; once it is gone, the count it
    // ended with.
    static int paints = 0;
    if (IsWindow(g_mainWindow)) paints = headless::paint_count(g_mainWindow);
    json.key("paints").value(paints);
    json.key("dialog");
    write_dialog(json);
    json.key("settings");
    write_settings(json);
    json.end_object();
    return json.str();
}

#include "dialogs/find_dialog.h"

#include "dialogs/dialog_common.h"
#include "resources/resource_ids.h"
#include "dialogs/settings_store.h"
#include "mapdb/map_catalogue.h"

#include <iterator>

namespace {

// The remembered texts: the map to select, the category and the place.
WCHAR FindMapText[RememberedTextLength + 1];
WCHAR FindCategoryText[RememberedTextLength + 1];
WCHAR FindLocationText[RememberedTextLength + 1];

DialogBrushes g_brushes;
// What the program handed the dialog as it opened; set by WM_INITDIALOG.
DialogContext* g_context = nullptr;

constexpr LPCWSTR kCategorySetting = u" Find Category";
constexpr LPCWSTR kLocationSetting = u" Find Location";

const TBBUTTON kButtons[] = {
    {0, IDM_DIALOG_CANCEL, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
    {1, IDM_DIALOG_OK, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
};
const LPCWSTR kTips[] = {u"Cancel", u"OK"};

HWND item(HWND dialog, int id) { return GetDlgItem(dialog, id); }

template <typename T>
T* selected_data(HWND control, UINT selection, UINT data) {
    const LRESULT index = SendMessageW(control, selection, 0, 0);
    if (index < 0) return nullptr;
    return reinterpret_cast<T*>(SendMessageW(control, data, static_cast<WPARAM>(index), 0));
}

void copy_cut(WCHAR* to, LPCWSTR from) {
    lstrcpynW(to, from ? from : u"", RememberedTextLength + 1);
}

void fill_locations(HWND dialog) {
    HWND list = item(dialog, IDC_FIND_LOCATIONS);
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    UpdateWindow(list);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    HWND categories = item(dialog, IDC_FIND_CATEGORIES);
    if (auto* category = selected_data<LocationCategory>(categories, CB_GETCURSEL, CB_GETITEMDATA)) {
        for (Location* location = category->firstLocation; location; location = location->next) {
            const LRESULT index = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(location->name));
            if (index >= 0) SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(location));
        }
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    SelectListByText(list, FindLocationText);
    // The selection is taken up as when the user taps a place.
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_FIND_LOCATIONS, LBN_SELCHANGE), 0);
    SetFocus(list);
    SetCursor(nullptr);
}

void fill_categories(HWND dialog) {
    HWND categories = item(dialog, IDC_FIND_CATEGORIES);
    SendMessageW(categories, CB_RESETCONTENT, 0, 0);
    if (auto* map = selected_data<CMap>(item(dialog, IDC_FIND_MAPS), CB_GETCURSEL, CB_GETITEMDATA)) {
        // Not sorted: the database's order is the list's.
        for (LocationCategory* category = map->categoryList; category; category = category->next) {
            const LRESULT index = SendMessageW(categories, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(category->name));
            if (index >= 0)
                SendMessageW(categories, CB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(category));
        }
    }
    SelectComboByText(categories, FindCategoryText);
    fill_locations(dialog);
}

void fill_maps(HWND dialog) {
    FillMapList(item(dialog, IDC_FIND_MAPS), FindMapText);
    fill_categories(dialog);
}

void show_selected_location(HWND dialog) {
    HWND list = item(dialog, IDC_FIND_LOCATIONS);
    // Nothing selected: the pane keeps what it shows.
    if (!RememberListSelection(list, FindLocationText)) return;
    const LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
    HWND pane = item(dialog, IDC_FIND_DESCRIPTION);
    SendMessageW(pane, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u""));
    auto* location = reinterpret_cast<Location*>(SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
    if (location == nullptr || location->description == nullptr) return;
    SendMessageW(pane, DTM_ADDTEXTW, 0, reinterpret_cast<LPARAM>(u"<BODY LEFTMARGIN=\"2\" TOPMARGIN=\"0\"><P>"));
    // Added as the database holds it: markup in it takes effect.
    SendMessageW(pane, DTM_ADDTEXTW, 0, reinterpret_cast<LPARAM>(location->description));
    SendMessageW(pane, DTM_ADDTEXTW, 0, reinterpret_cast<LPARAM>(u"</P></BODY>"));
    SendMessageW(pane, DTM_ENDOFSOURCE, 0, 0);
}

void end_dialog(HWND dialog, INT_PTR result) {
    g_brushes.Delete();
    SHDoneButton(dialog, SHDB_HIDE);
    EndDialog(dialog, result);
}

void ok(HWND dialog) {
    g_context->PlayClick();
    if (auto* map = selected_data<CMap>(item(dialog, IDC_FIND_MAPS), CB_GETCURSEL, CB_GETITEMDATA))
        g_context->chosenMap = map;
    if (RememberComboSelection(item(dialog, IDC_FIND_CATEGORIES), FindCategoryText))
        WriteRememberedText(SettingName(kCategorySetting), FindCategoryText);
    HWND list = item(dialog, IDC_FIND_LOCATIONS);
    if (RememberListSelection(list, FindLocationText)) {
        WriteRememberedText(SettingName(kLocationSetting), FindLocationText);
        g_context->chosenLocation = selected_data<Location>(list, LB_GETCURSEL, LB_GETITEMDATA);
    }
    end_dialog(dialog, 1);
}

void cancel(HWND dialog) {
    g_context->PlayClick();
    end_dialog(dialog, 0);
}

BOOL on_init(HWND dialog, DialogContext* context) {
    g_context = context;
    OpenDialog(dialog, *context, g_brushes, CreateFindMenuBar, u"Find",
               {IDC_FIND_MAPS, IDC_FIND_CATEGORIES, IDC_FIND_LOCATIONS, IDC_FIND_DESCRIPTION},
               {IDC_FIND_MAP_LABEL, IDC_FIND_CATEGORY_LABEL, IDC_FIND_ITEM_LABEL, IDC_FIND_INFO_LABEL});
    copy_cut(FindMapText, context->currentMap ? context->currentMap->MapName() : nullptr);
    ReadRememberedText(SettingName(kCategorySetting), FindCategoryText);
    ReadRememberedText(SettingName(kLocationSetting), FindLocationText);
    context->chosenMap = nullptr;
    context->chosenLocation = nullptr;
    SendMessageW(dialog, MSG_FILL_MAPS, 0, 0);
    // The fill put the focus on the list of places.
    return FALSE;
}

BOOL on_command(HWND dialog, WPARAM wParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    switch (id) {
    case IDM_DIALOG_OK:
    case IDOK:  // Enter, also when the menu bar could not be made
        ok(dialog);
        return TRUE;
    case IDM_DIALOG_CANCEL:
    case IDCANCEL:  // Escape
        cancel(dialog);
        return TRUE;
    case IDC_FIND_MAPS:
        if (code == CBN_SELCHANGE) {
            UpdateWindow(dialog);
            SendMessageW(dialog, MSG_FILL_CATEGORIES, 0, 0);
            return TRUE;
        }
        if (code == CBN_CLOSEUP) {
            SetFocus(item(dialog, IDC_FIND_LOCATIONS));
            return TRUE;
        }
        return FALSE;
    case IDC_FIND_CATEGORIES:
        if (code == CBN_SELCHANGE) {
            if (RememberComboSelection(item(dialog, IDC_FIND_CATEGORIES), FindCategoryText)) {
                UpdateWindow(dialog);
                SendMessageW(dialog, MSG_FILL_LOCATIONS, 0, 0);
            }
            return TRUE;
        }
        if (code == CBN_CLOSEUP) {
            SetFocus(item(dialog, IDC_FIND_LOCATIONS));
            return TRUE;
        }
        return FALSE;
    case IDC_FIND_LOCATIONS:
        if (code != LBN_SELCHANGE) return FALSE;
        show_selected_location(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

HWND CreateFindMenuBar(HWND dialog, HINSTANCE instance) {
    return CreateDialogMenuBar(dialog, instance, IDB_FIND_BUTTONS, kButtons, static_cast<int>(std::size(kButtons)),
                               kTips);
}

INT_PTR CALLBACK FindDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (INT_PTR brush = 0; ReplyToColourMessage(g_brushes, message, wParam, &brush)) return brush;
    switch (message) {
    case WM_INITDIALOG:
        return on_init(dialog, reinterpret_cast<DialogContext*>(lParam));
    case WM_COMMAND:
        return on_command(dialog, wParam);
    case MSG_FILL_MAPS:
        fill_maps(dialog);
        return TRUE;
    case MSG_FILL_CATEGORIES:
        fill_categories(dialog);
        return TRUE;
    case MSG_FILL_LOCATIONS:
        fill_locations(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

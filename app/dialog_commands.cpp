#include "app/dialog_commands.h"

#include "app/main_window.h"
#include "app/main_window_state.h"
#include "app/navigation.h"
#include "app/repaint.h"
#include "app/sounds.h"
#include "resources/resource_ids.h"
#include "dialogs/dialog_context.h"
#include "dialogs/find_dialog.h"
#include "dialogs/info_dialog.h"
#include "mapdb/map_catalogue.h"
#include "mapview/map_view.h"

namespace {

// The taskbar shown, the input panel's button hidden, the start icon shown.
constexpr DWORD kDialogScreen = SHFS_SHOWTASKBAR | SHFS_HIDESIPBUTTON | SHFS_SHOWSTARTICON;

// Runs the dialog of template id modally over the main window, handing it
// the map shown and the click; -1 when its template is missing.
INT_PTR run_dialog(HWND window, int id, DLGPROC proc, DialogContext& context) {
    HRSRC resource = FindResourceW(g_instance, MAKEINTRESOURCEW(id), RT_DIALOG);
    if (resource == nullptr) return -1;
    HGLOBAL loaded = LoadResource(g_instance, resource);
    const auto* dialogTemplate = static_cast<LPCDLGTEMPLATEW>(LockResource(loaded));
    if (dialogTemplate == nullptr) return -1;
    context.instance = g_instance;
    context.currentMap = g_mainState.currentMap;
    context.click = PlayMenuPopSound;
    return DialogBoxIndirectParamW(g_instance, dialogTemplate, window, proc, reinterpret_cast<LPARAM>(&context));
}

void drop_tap_feedback() {
    g_mainState.UiFlags &= ~static_cast<std::uint32_t>(PopupShown | LinkHighlighted);
}

}  // namespace

void FindCommand(HWND window) {
    MainWindowState& state = g_mainState;
    drop_tap_feedback();
    SHFullScreen(window, kDialogScreen);
    // Nothing is selected while the dialog is open, nor after a dialog that
    // could not open.
    state.findResultMap = nullptr;
    state.selectedLocation = nullptr;
    DialogContext context;
    const INT_PTR result = run_dialog(window, IDD_FIND, FindDialogProc, context);
    state.findResultMap = context.chosenMap;
    state.selectedLocation = context.chosenLocation;
    if (result == 0) {
        // Cancelled: the map as it was.
        ShowTitle(window);
        UpdateBack();
        RepaintMainWindow(window);
        return;
    }
    if (state.findResultMap == nullptr || state.selectedLocation == nullptr) {
        MessageBeep(MB_OK);
        ShowTitle(window);
        // The popup and link frame of an earlier tap would stay on the
        // screen for a place no longer selected.
        RepaintMainWindow(window);
        return;
    }
    if (state.findResultMap != state.currentMap) {
        CMap* left = state.currentMap;
        LeaveCurrentMap();
        if (!EnsureMapImage(state.findResultMap, window)) {
            // The place's map cannot be shown. The home map comes back as it
            // was left, without the place: it does not lie on that map.
            MessageBeep(MB_OK);
            state.currentMap = g_mapCatalogue.homeMap;
            state.selectedLocation = nullptr;
            ShowTitle(window);
            UpdateBack();
            RepaintMainWindow(window);
            return;
        }
        state.history.Push(left);
        state.currentMap = state.findResultMap;
    }
    state.currentMap->mapView->CenterOn(LocationX(state.selectedLocation->position),
                                        LocationY(state.selectedLocation->position));
    state.UiFlags |= PopupShown;
    ShowTitle(window);
    UpdateBack();
    RepaintMainWindow(window);
}

void InformationCommand(HWND window) {
    drop_tap_feedback();
    SHFullScreen(window, kDialogScreen);
    DialogContext context;
    run_dialog(window, IDD_INFORMATION, InfoDialogProc, context);
    ShowTitle(window);
    RepaintMainWindow(window);
}

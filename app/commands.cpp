#include "app/commands.h"

#include "app/command_bar.h"
#include "app/command_ids.h"
#include "app/dialog_commands.h"
#include "app/loading_log.h"
#include "app/main_window.h"
#include "app/main_window_state.h"
#include "app/navigation.h"
#include "app/sounds.h"
#include "mapdb/map_catalogue.h"
#include "mapview/map_view.h"

namespace {

struct CommandEntry {
    int id;
    bool playsClick;    // before anything else, also when the command is ignored
    bool needsHomeMap;  // ignored while the catalogue has no home map
    void (*handler)(HWND window);  // may be null
};

constexpr CommandEntry kCommands[] = {
    {IDM_QUIT, true, false, QuitCommand},
    {IDM_LOAD_ALL_MAPS, false, false, LoadAllMapsCommand},
    {IDM_FIND, true, true, FindCommand},
    {IDM_HOME, true, true, HomeCommand},
    {IDM_INFORMATION, true, true, InformationCommand},
    {IDM_BACK, true, true, BackCommand},
    {IDM_FORWARD, true, true, ForwardCommand},
    {IDM_ZOOM_IN, true, true, ZoomInCommand},
    {IDM_ZOOM_OUT, true, true, ZoomOutCommand},
};

}  // namespace

bool RunCommand(HWND window, int command) {
    for (const CommandEntry& entry : kCommands) {
        if (entry.id != command) continue;
        if (entry.playsClick) PlayMenuPopSound();
        if (entry.needsHomeMap && g_mapCatalogue.homeMap == nullptr) return true;
        if (entry.handler != nullptr) entry.handler(window);
        return true;
    }
    return false;
}

void LoadAllMapsCommand(HWND window) {
    // Loading again replaces the catalogue, whose maps are freed: nothing
    // may still point at them.
    g_mainState.ForgetMaps();
    SHSetNavBarText(window, u"Loading");
    UpdateWindow(window);
    LoadingLog::Open(window);
    if (LoadAllMaps(window, LoadingLog::Append) == 0) {
        // The log stays with its messages, and the title with "Loading".
        g_mainState.UiFlags = 0;
        g_mainState.currentMap = nullptr;
        return;
    }
    LoadingLog::Close();
    g_mainState.currentMap = g_mapCatalogue.homeMap;
    ShowTitle(window);
    g_mainState.currentMap->mapView->CenterOnMiddle();
    g_mainState.UiFlags = ViewActive;
}

void QuitCommand(HWND window) {
    if (MessageBoxW(window, u"Quit the application?", u"Confirm Quit!", MB_YESNO) == IDNO) return;
    // Nothing may point at the maps once they are gone.
    g_mainState.ForgetMaps();
    FreeAllMaps();
    DestroyWindow(window);
}

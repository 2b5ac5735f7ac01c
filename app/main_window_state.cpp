#include "app/main_window_state.h"

HINSTANCE g_instance = nullptr;
HWND g_mainWindow = nullptr;
MainWindowState g_mainState;

void MainWindowState::ForgetMaps() {
    currentMap = nullptr;
    selectedLocation = nullptr;
    linkTarget = nullptr;
    findResultMap = nullptr;
    history.Clear();
}

// The commands of the main window, issued by the buttons of its menu bar
// and, once, by the window itself.
#pragma once

#define IDM_QUIT 40004
#define IDM_LOAD_ALL_MAPS 40023
#define IDM_FIND 40090
#define IDM_HOME 40091
#define IDM_INFORMATION 40098
#define IDM_BACK 40100
#define IDM_FORWARD 40101
#define IDM_ZOOM_IN 40102
#define IDM_ZOOM_OUT 40103

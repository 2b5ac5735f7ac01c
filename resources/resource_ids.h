// Identifiers of the program's resources.
#pragma once

// The program's icon.
#define IDI_PROGRAM 140

// The click sound, a wave resource named by text.
#define ID_MENUPOP_SOUND u"MENUPOP"

// Bitmaps of button images, 16 x 16 pixels each.
#define IDB_MAIN_BUTTONS 171    // the main window's nine buttons
#define IDB_CLOSE_BUTTON 172    // the Information dialog's close button
#define IDB_FIND_BUTTONS 173    // the Find dialog's Cancel and OK buttons

// Menu bars.
#define IDM_MAIN_MENUBAR 4080
#define IDM_DIALOG_MENUBAR 168

// Commands of the hidden buttons and the caption string of the main one.
#define IDM_MAIN_MENU_BUTTON 40027
#define IDS_MAIN_MENU_CAPTION 40089
#define IDM_DIALOG_MENU_BUTTON 40051

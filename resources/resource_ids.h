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

// Dialog templates.
#define IDD_FIND 115
#define IDD_INFORMATION 145

// Find dialog controls.
#define IDC_FIND_LOCATIONS 1003
#define IDC_FIND_CATEGORIES 1047
#define IDC_FIND_MAPS 1050
#define IDC_FIND_MAP_LABEL 1010
#define IDC_FIND_CATEGORY_LABEL 1011
#define IDC_FIND_ITEM_LABEL 1012
#define IDC_FIND_DESCRIPTION 1019
#define IDC_FIND_INFO_LABEL 1020

// Information dialog controls.
#define IDC_INFO_MAPS 1050
#define IDC_INFO_TOPICS 1047
#define IDC_INFO_TEXT 1017
#define IDC_INFO_VIEW_LABEL 1014
#define IDC_INFO_CATEGORY_LABEL 1015

// Menu-bar buttons: OK in Find, Cancel in Find and the close button in
// Information.
#define IDM_DIALOG_OK 1001
#define IDM_DIALOG_CANCEL 40057

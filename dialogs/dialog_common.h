// What the Find and Information dialogs share: their two brushes and the
// colours they answer with, the controls stretched to the dialog's width,
// the bold label font, the menu bar of image buttons, the first-word cut of
// a remembered text and the selection of a list item by such a text.
#pragma once

#include "dialogs/dialog_context.h"
#include "platform/win32.h"

#include <initializer_list>
#include <string>

// The first of the private messages each dialog sends itself to fill its
// lists: the map list.
#define MSG_FILL_MAPS (WM_APP + 1)

// The button and dialog brushes, made when a dialog opens and deleted when
// it ends.
struct DialogBrushes {
    HBRUSH button = nullptr;  // navy
    HBRUSH dialog = nullptr;  // light yellow
    void Create();
    void Delete();
};

// The dialogs' answer to a WM_CTLCOLOR* message: sets the text colour and
// background mode on the DC in wParam and gives the brush, the dialog
// procedure's result. False for any other message.
bool ReplyToColourMessage(const DialogBrushes& brushes, UINT message, WPARAM wParam, INT_PTR* result);

// The opening both dialogs share: brushes made, the dialog sized between
// the bars, its menu bar made, the title given to the main window's
// navigation bar, controls stretched to the dialog's width and labels made
// bold.
void OpenDialog(HWND dialog, const DialogContext& context, DialogBrushes& brushes,
                HWND (*createMenuBar)(HWND, HINSTANCE), LPCWSTR title, std::initializer_list<int> stretched,
                std::initializer_list<int> labels);
// Fills the map list with every map of the catalogue, each with its CMap,
// and selects the one named by remembered.
void FillMapList(HWND maps, LPCWSTR remembered);

// Moves the control to x -1 and the width of its dialog plus 2, keeping its
// top and height: it reaches one pixel beyond each side edge.
void StretchToDialogWidth(HWND control);
// Gives the control the bold System font, made on first use and kept for
// the program's life.
void SetBoldLabelFont(HWND control);

// The dialogs' menu bar: the shell's bar from resource 168 with the image
// buttons of bitmap, and a tool tip for each. Says "Create Menu Bar Failed"
// and returns null when the bar cannot be made.
HWND CreateDialogMenuBar(HWND dialog, HINSTANCE instance, int bitmap, const TBBUTTON* buttons, int count,
                         const LPCWSTR* tips);

// Cuts text in place just before the first space that follows its first
// word. Spaces at the very start are passed over and stay; a text with no
// space after its first word, or of spaces only, stays whole. Only U+0020
// counts as a space.
void CutAtFirstWord(WCHAR* text);

// Remembers the selected item of a list: its text into text
// (RememberedTextLength + 1 units), cut to that many characters however
// long the item's text is, then cut at its first word. False, with text
// unchanged, when nothing is selected.
bool RememberComboSelection(HWND combo, WCHAR* text);
bool RememberListSelection(HWND list, WCHAR* text);

// Selects the first item, in display order, that begins with text without
// regard to case, or else item 0 (nothing in an empty list).
void SelectComboByText(HWND combo, LPCWSTR text);
void SelectListByText(HWND list, LPCWSTR text);

// The value name of a remembered choice: the home map's name followed by
// suffix (" Find Category" ...), so several guides keep theirs apart.
std::u16string SettingName(LPCWSTR suffix);

#include "dialogs/dialog_common.h"

#include "resources/resource_ids.h"
#include "dialogs/settings_store.h"
#include "mapdb/map_catalogue.h"

#include <vector>

namespace {

constexpr COLORREF kButtonColour = 0x00800000;  // navy
constexpr COLORREF kDialogColour = 0x00C0FFFF;  // light yellow
constexpr COLORREF kListText = 0x00FF0000;      // blue
constexpr COLORREF kButtonText = 0x00FFFFFF;    // white
constexpr COLORREF kLabelText = 0x00008080;     // olive

HFONT g_boldLabelFont = nullptr;

// Copies the selected item's text, of length units as the list tells, cut
// to fit, then cut at its first word.
template <UINT SelectionMessage, UINT LengthMessage, UINT TextMessage>
bool remember_selection(HWND list, WCHAR* text) {
    const LRESULT index = SendMessageW(list, SelectionMessage, 0, 0);
    if (index < 0) return false;
    const LRESULT length = SendMessageW(list, LengthMessage, static_cast<WPARAM>(index), 0);
    text[0] = 0;
    // The whole text is fetched into room of its own: a database's name may
    // be longer than what is remembered of it.
    std::vector<WCHAR> whole(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, 0);
    if (length >= 0 &&
        SendMessageW(list, TextMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(whole.data())) >= 0)
        lstrcpynW(text, whole.data(), RememberedTextLength + 1);
    CutAtFirstWord(text);
    return true;
}

}  // namespace

void DialogBrushes::Create() {
    // A dialog that ended without its own closing steps left its pair.
    Delete();
    button = CreateSolidBrush(kButtonColour);
    dialog = CreateSolidBrush(kDialogColour);
}

void DialogBrushes::Delete() {
    if (button != nullptr) DeleteObject(button);
    if (dialog != nullptr) DeleteObject(dialog);
    button = nullptr;
    dialog = nullptr;
}

bool ReplyToColourMessage(const DialogBrushes& brushes, UINT message, WPARAM wParam, INT_PTR* result) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    HGDIOBJ brush = nullptr;
    switch (message) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        SetTextColor(dc, kListText);
        brush = GetStockObject(WHITE_BRUSH);
        break;
    case WM_CTLCOLORBTN:
        SetTextColor(dc, kButtonText);
        SetBkMode(dc, TRANSPARENT);
        brush = brushes.button;
        break;
    case WM_CTLCOLORDLG:
        brush = brushes.dialog;
        break;
    case WM_CTLCOLORSTATIC:
        SetTextColor(dc, kLabelText);
        SetBkMode(dc, TRANSPARENT);
        brush = brushes.dialog;
        break;
    default:
        return false;
    }
    *result = reinterpret_cast<INT_PTR>(brush);
    return true;
}

void OpenDialog(HWND dialog, const DialogContext& context, DialogBrushes& brushes,
                HWND (*createMenuBar)(HWND, HINSTANCE), LPCWSTR title, std::initializer_list<int> stretched,
                std::initializer_list<int> labels) {
    brushes.Create();
    SHINITDLGINFO init{};
    init.dwMask = SHIDIM_FLAGS;
    init.hDlg = dialog;
    init.dwFlags = SHIDIF_SIZEDLGFULLSCREEN;
    SHInitDialog(&init);
    createMenuBar(dialog, context.instance);
    SHSetNavBarText(GetParent(dialog), title);
    for (int id : stretched) StretchToDialogWidth(GetDlgItem(dialog, id));
    for (int id : labels) SetBoldLabelFont(GetDlgItem(dialog, id));
}

void FillMapList(HWND maps, LPCWSTR remembered) {
    SendMessageW(maps, CB_RESETCONTENT, 0, 0);
    for (CMap* map : g_mapCatalogue.slots) {
        if (map == nullptr) break;
        // Sorted: the list places each name.
        const LRESULT index = SendMessageW(maps, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(map->MapName()));
        if (index >= 0) SendMessageW(maps, CB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(map));
    }
    SelectComboByText(maps, remembered);
}

void StretchToDialogWidth(HWND control) {
    HWND dialog = GetParent(control);
    if (dialog == nullptr) return;
    RECT own{};
    RECT parent{};
    GetWindowRect(control, &own);
    GetWindowRect(dialog, &parent);
    POINT topLeft{own.left, own.top};
    ScreenToClient(dialog, &topLeft);
    MoveWindow(control, -1, topLeft.y, (parent.right - parent.left) + 2, own.bottom - own.top, TRUE);
}

void SetBoldLabelFont(HWND control) {
    if (g_boldLabelFont == nullptr) {
        LOGFONTW font{};
        GetObjectW(GetStockObject(SYSTEM_FONT), sizeof font, &font);
        font.lfWeight = FW_BOLD;
        g_boldLabelFont = CreateFontIndirectW(&font);
    }
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(g_boldLabelFont), TRUE);
}

HWND CreateDialogMenuBar(HWND dialog, HINSTANCE instance, int bitmap, const TBBUTTON* buttons, int count,
                         const LPCWSTR* tips) {
    SHMENUBARINFO info{};
    info.cbSize = 32;
    info.hwndParent = dialog;
    info.nToolBarId = IDM_DIALOG_MENUBAR;
    info.hInstRes = instance;
    if (!SHCreateMenuBar(&info)) {
        // The dialog goes on; Escape and Enter still close it.
        MessageBoxW(dialog, u"Create Menu Bar Failed", u"Error", MB_OK);
        return nullptr;
    }
    HWND bar = info.hwndMB;
    CommandBar_AddBitmap(bar, instance, bitmap, count, 16, 16);
    SendMessageW(bar, TB_ADDBUTTONS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(buttons));
    // One tip a button, the bar's own hidden menu button first.
    std::vector<LPCWSTR> all{u""};
    all.insert(all.end(), tips, tips + count);
    SendMessageW(bar, TB_SETTOOLTIPS, all.size(), reinterpret_cast<LPARAM>(all.data()));
    return bar;
}

void CutAtFirstWord(WCHAR* text) {
    WCHAR* p = text;
    while (*p == u' ') ++p;
    while (*p != 0 && *p != u' ') ++p;
    *p = 0;
}

bool RememberComboSelection(HWND combo, WCHAR* text) {
    return remember_selection<CB_GETCURSEL, CB_GETLBTEXTLEN, CB_GETLBTEXT>(combo, text);
}

bool RememberListSelection(HWND list, WCHAR* text) {
    return remember_selection<LB_GETCURSEL, LB_GETTEXTLEN, LB_GETTEXT>(list, text);
}

void SelectComboByText(HWND combo, LPCWSTR text) {
    if (SendMessageW(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text)) == CB_ERR)
        SendMessageW(combo, CB_SETCURSEL, 0, 0);
}

void SelectListByText(HWND list, LPCWSTR text) {
    if (SendMessageW(list, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text)) == LB_ERR)
        SendMessageW(list, LB_SETCURSEL, 0, 0);
}

std::u16string SettingName(LPCWSTR suffix) {
    LPCWSTR home = g_mapCatalogue.homeMap ? g_mapCatalogue.homeMap->MapName() : nullptr;
    return std::u16string(home ? home : u"") + suffix;
}

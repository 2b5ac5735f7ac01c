#include "dialogs/info_dialog.h"

#include "dialogs/dialog_common.h"
#include "resources/resource_ids.h"
#include "dialogs/settings_store.h"
#include "mapdb/map_catalogue.h"

#include <iterator>

namespace {

// The remembered texts: the map to select and the topic's title.
WCHAR InfoMapText[RememberedTextLength + 1];
WCHAR InfoTopicText[RememberedTextLength + 1];

DialogBrushes g_brushes;
// What the program handed the dialog as it opened; set by WM_INITDIALOG.
DialogContext* g_context = nullptr;

constexpr LPCWSTR kTopicSetting = u" Info Category";

const TBBUTTON kButtons[] = {
    {0, IDM_DIALOG_CANCEL, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
};
const LPCWSTR kTips[] = {u"Close"};

HWND item(HWND dialog, int id) { return GetDlgItem(dialog, id); }

void show_topic(HWND dialog) {
    HWND pane = item(dialog, IDC_INFO_TEXT);
    SendMessageW(pane, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u""));
    HWND topics = item(dialog, IDC_INFO_TOPICS);
    const LRESULT index = SendMessageW(topics, CB_GETCURSEL, 0, 0);
    if (index >= 0) {
        if (auto* topic = reinterpret_cast<InfoTopic*>(SendMessageW(topics, CB_GETITEMDATA, static_cast<WPARAM>(index), 0))) {
            SendMessageW(pane, DTM_ADDTEXTW, 0, reinterpret_cast<LPARAM>(u"<BODY LEFTMARGIN=\"8\"><P>"));
            // Added as the database holds it: markup in it takes effect.
            SendMessageW(pane, DTM_ADDTEXTW, 0, reinterpret_cast<LPARAM>(topic->text ? topic->text : u""));
            SendMessageW(pane, DTM_ADDTEXTW, 0, reinterpret_cast<LPARAM>(u"</P></BODY>"));
            SendMessageW(pane, DTM_ENDOFSOURCE, 0, 0);
        }
    }
    SetFocus(pane);
}

void fill_topics(HWND dialog) {
    HWND topics = item(dialog, IDC_INFO_TOPICS);
    SendMessageW(topics, CB_RESETCONTENT, 0, 0);
    HWND maps = item(dialog, IDC_INFO_MAPS);
    const LRESULT index = SendMessageW(maps, CB_GETCURSEL, 0, 0);
    if (index >= 0) {
        if (auto* map = reinterpret_cast<CMap*>(SendMessageW(maps, CB_GETITEMDATA, static_cast<WPARAM>(index), 0))) {
            // Not sorted: the database's order is the list's.
            for (InfoTopic* topic = map->topicList; topic; topic = topic->next) {
                const LRESULT added = SendMessageW(topics, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(topic->title));
                if (added >= 0)
                    SendMessageW(topics, CB_SETITEMDATA, static_cast<WPARAM>(added), reinterpret_cast<LPARAM>(topic));
            }
        }
    }
    SelectComboByText(topics, InfoTopicText);
    show_topic(dialog);
}

void fill_maps(HWND dialog) {
    FillMapList(item(dialog, IDC_INFO_MAPS), InfoMapText);
    fill_topics(dialog);
}

// The close button: the selected title is always remembered.
void close(HWND dialog) {
    g_context->PlayClick();
    if (RememberComboSelection(item(dialog, IDC_INFO_TOPICS), InfoTopicText))
        WriteRememberedText(SettingName(kTopicSetting), InfoTopicText);
    g_brushes.Delete();
    SHDoneButton(dialog, SHDB_HIDE);
    EndDialog(dialog, 1);
}

BOOL on_init(HWND dialog, DialogContext* context) {
    g_context = context;
    OpenDialog(dialog, *context, g_brushes, CreateInfoMenuBar, u"Information", {IDC_INFO_MAPS, IDC_INFO_TOPICS, IDC_INFO_TEXT},
               {IDC_INFO_VIEW_LABEL, IDC_INFO_CATEGORY_LABEL});
    lstrcpynW(InfoMapText, context->currentMap ? context->currentMap->MapName() : u"", RememberedTextLength + 1);
    ReadRememberedText(SettingName(kTopicSetting), InfoTopicText);
    SendMessageW(dialog, MSG_FILL_MAPS, 0, 0);
    // The fill put the focus on the topic's text.
    return FALSE;
}

BOOL on_command(HWND dialog, WPARAM wParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    switch (id) {
    case IDM_DIALOG_CANCEL:
    case IDCANCEL:  // Escape, also when the menu bar could not be made
        close(dialog);
        return TRUE;
    case IDC_INFO_MAPS:
        if (code == CBN_SELCHANGE) {
            SendMessageW(dialog, MSG_FILL_TOPICS, 0, 0);
            return TRUE;
        }
        if (code == CBN_CLOSEUP) {
            SetFocus(item(dialog, IDC_INFO_TEXT));
            return TRUE;
        }
        return FALSE;
    case IDC_INFO_TOPICS:
        if (code == CBN_SELCHANGE) {
            if (RememberComboSelection(item(dialog, IDC_INFO_TOPICS), InfoTopicText))
                SendMessageW(dialog, MSG_SHOW_TOPIC, 0, 0);
            return TRUE;
        }
        if (code == CBN_CLOSEUP) {
            SetFocus(item(dialog, IDC_INFO_TEXT));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

HWND CreateInfoMenuBar(HWND dialog, HINSTANCE instance) {
    return CreateDialogMenuBar(dialog, instance, IDB_CLOSE_BUTTON, kButtons, static_cast<int>(std::size(kButtons)),
                               kTips);
}

INT_PTR CALLBACK InfoDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (INT_PTR brush = 0; ReplyToColourMessage(g_brushes, message, wParam, &brush)) return brush;
    switch (message) {
    case WM_INITDIALOG:
        return on_init(dialog, reinterpret_cast<DialogContext*>(lParam));
    case WM_COMMAND:
        return on_command(dialog, wParam);
    case MSG_FILL_MAPS:
        fill_maps(dialog);
        return TRUE;
    case MSG_FILL_TOPICS:
        fill_topics(dialog);
        return TRUE;
    case MSG_SHOW_TOPIC:
        show_topic(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

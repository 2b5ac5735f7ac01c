#include "platform/testing/dialog_controls.h"
#include "tests/controls/controls_support.h"

#include <gtest/gtest.h>

using namespace controls_test;
namespace headless = platform::headless;
using platform::testing::centre;
using platform::testing::combo_box_view;
using platform::testing::ComboView;
using platform::testing::list_texts;

namespace {

constexpr DWORD kMapListStyle =
    WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_SORT | CBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
constexpr int kFieldHeight = 20;

// The parent: it writes down the notifications and which window asked which
// colour question, and answers as the program's dialogs do.
std::vector<std::pair<UINT, HWND>> g_colourQuestions;
std::vector<int> g_notices;

LRESULT CALLBACK parent_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: g_notices.push_back(HIWORD(wParam)); return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        g_colourQuestions.emplace_back(message, reinterpret_cast<HWND>(lParam));
        SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 255));
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

class ComboBox : public ::testing::Test {
protected:
    void SetUp() override {
        start_over();
        WNDCLASSW wc{};
        wc.lpfnWndProc = parent_proc;
        wc.lpszClassName = u"ComboParent";
        RegisterClassW(&wc);
        parent = CreateWindowExW(0, u"ComboParent", u"", WS_VISIBLE, 0, 26, 240, 268, nullptr, nullptr, nullptr,
                                 nullptr);
        g_notices.clear();
        g_colourQuestions.clear();
    }
    // The Find dialog's map list: 107 units high with its list, 15 pixels
    // down its dialog.
    HWND make_combo(DWORD style = kMapListStyle, int y = 15, int height = 184) {
        return CreateWindowExW(0, WC_COMBOBOX, nullptr, style, -1, y, 242, height, parent,
                               reinterpret_cast<HMENU>(1050), nullptr, nullptr);
    }
    void fill(HWND combo, std::initializer_list<const char16_t*> texts) {
        for (const char16_t* t : texts) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t));
    }
    ComboView view(HWND combo) { return *combo_box_view(combo); }
    void tap(POINT p) {
        headless::tap(p.x, p.y);
        settle();
    }
    HWND parent = nullptr;
};

TEST_F(ComboBox, TappingDropsTheListAndTappingAnItemChoosesItThenCloses) {
    HWND combo = make_combo();
    fill(combo, {u"Old Town", u"harbour", u"Island", u"Market"});
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    settle();
    ComboView v = view(combo);
    EXPECT_EQ(v.field.top, 26 + 15);
    EXPECT_EQ(v.field.bottom - v.field.top, kFieldHeight);
    EXPECT_EQ(v.text, u"harbour");
    EXPECT_FALSE(v.dropped);

    tap(centre(v.field));
    v = view(combo);
    ASSERT_TRUE(v.dropped);
    EXPECT_EQ(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0), TRUE);
    ASSERT_TRUE(v.list.has_value());
    RECT dropped{};
    GetWindowRect(v.list->window, &dropped);
    // Below the box, as high as the height given less the box's own.
    EXPECT_EQ(dropped.top, v.field.bottom);
    EXPECT_EQ(dropped.bottom - dropped.top, 184 - kFieldHeight);
    ASSERT_EQ(v.list->visible.size(), 4u);
    EXPECT_EQ(v.list->visible[2].text, u"Market");
    EXPECT_TRUE(v.list->visible[0].selected);
    EXPECT_EQ(g_notices, (std::vector<int>{CBN_SETFOCUS, CBN_DROPDOWN}));
    EXPECT_EQ(GetFocus(), combo);

    g_notices.clear();
    tap(centre(v.list->visible[2].rect));
    v = view(combo);
    EXPECT_FALSE(v.dropped);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(v.selection, 2);
    EXPECT_EQ(v.text, u"Market");
    EXPECT_EQ(g_notices, (std::vector<int>{CBN_SELCHANGE, CBN_CLOSEUP}));
    EXPECT_EQ(GetFocus(), combo);
}

TEST_F(ComboBox, ATapOutsideClosesTheListWithNothingChosenAndGoesNoFurther) {
    HWND combo = make_combo();
    fill(combo, {u"b", u"a"});
    HWND below = CreateWindowExW(0, WC_LISTBOX, nullptr, WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0,
                                 220, 240, 40, parent, reinterpret_cast<HMENU>(1003), nullptr, nullptr);
    SendMessageW(below, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"under"));
    settle();
    tap(centre(view(combo).field));
    ASSERT_TRUE(view(combo).dropped);
    g_notices.clear();
    const RECT under = platform::testing::list_box_view(below)->visible[0].rect;
    tap(centre(under));
    EXPECT_FALSE(view(combo).dropped);
    EXPECT_EQ(view(combo).selection, CB_ERR);
    EXPECT_EQ(g_notices, (std::vector<int>{CBN_CLOSEUP}));
    EXPECT_EQ(SendMessageW(below, LB_GETCURSEL, 0, 0), LB_ERR);  // the tap was the list's
    // The next tap there reaches the window under it.
    tap(centre(under));
    EXPECT_EQ(SendMessageW(below, LB_GETCURSEL, 0, 0), 0);

    // A tap on the box itself while dropped closes too.
    tap(centre(view(combo).field));
    g_notices.clear();
    tap(centre(view(combo).field));
    EXPECT_FALSE(view(combo).dropped);
    EXPECT_EQ(g_notices, (std::vector<int>{CBN_CLOSEUP}));

    // So does closing the desktop window: the list goes, the box stays.
    tap(centre(view(combo).field));
    g_notices.clear();
    headless::close_window();
    settle();
    EXPECT_FALSE(view(combo).dropped);
    EXPECT_TRUE(IsWindow(parent));
    EXPECT_EQ(g_notices, (std::vector<int>{CBN_CLOSEUP}));
    tap(centre(view(combo).field));
    EXPECT_TRUE(view(combo).dropped);
}

TEST_F(ComboBox, SortedAndUnsortedListsAndTheirMessagesAtTheEdges) {
    HWND sorted = make_combo();
    fill(sorted, {u"Oceania", u"africa", u"Europe", u"Asia"});
    EXPECT_EQ(list_texts(sorted), (std::vector<std::u16string>{u"africa", u"Asia", u"Europe", u"Oceania"}));
    HWND plain = make_combo(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, 50);
    fill(plain, {u"Cafes", u"Museums and Galleries", u"bars"});
    EXPECT_EQ(list_texts(plain), (std::vector<std::u16string>{u"Cafes", u"Museums and Galleries", u"bars"}));
    EXPECT_EQ(SendMessageW(plain, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(u"first")), 0);
    EXPECT_EQ(SendMessageW(plain, CB_INSERTSTRING, 5, reinterpret_cast<LPARAM>(u"x")), CB_ERR);

    EXPECT_EQ(SendMessageW(plain, CB_SELECTSTRING, -1, reinterpret_cast<LPARAM>(u"museums")), 2);
    EXPECT_EQ(SendMessageW(plain, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(SendMessageW(plain, CB_SELECTSTRING, -1, reinterpret_cast<LPARAM>(u"Pubs")), CB_ERR);
    EXPECT_EQ(SendMessageW(plain, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(SendMessageW(plain, CB_FINDSTRING, -1, reinterpret_cast<LPARAM>(u"B")), 3);
    EXPECT_EQ(SendMessageW(plain, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(u"CAFES")), 1);
    EXPECT_EQ(SendMessageW(plain, CB_SETCURSEL, 3, 0), 3);   // count - 1
    EXPECT_EQ(SendMessageW(plain, CB_SETCURSEL, 4, 0), CB_ERR);  // count
    EXPECT_EQ(SendMessageW(plain, CB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(SendMessageW(plain, CB_SETCURSEL, -1, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(plain, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(GetWindowTextLengthW(plain), 0);
    EXPECT_TRUE(g_notices.empty());  // the program's own choices are not notified

    WCHAR text[32];
    EXPECT_EQ(SendMessageW(plain, CB_GETLBTEXTLEN, 2, 0), 21);
    EXPECT_EQ(SendMessageW(plain, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(text)), 21);
    EXPECT_EQ(std::u16string(text), u"Museums and Galleries");
    EXPECT_EQ(SendMessageW(plain, CB_GETLBTEXT, 4, reinterpret_cast<LPARAM>(text)), CB_ERR);
    EXPECT_EQ(SendMessageW(plain, CB_SETITEMDATA, 1, 0xCAFE), CB_OKAY);
    EXPECT_EQ(SendMessageW(plain, CB_GETITEMDATA, 1, 0), 0xCAFE);
    EXPECT_EQ(SendMessageW(plain, CB_GETITEMDATA, 4, 0), CB_ERR);
    SendMessageW(plain, CB_SETCURSEL, 1, 0);
    EXPECT_EQ(GetWindowTextLengthW(plain), 5);
    SendMessageW(plain, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageW(plain, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageW(plain, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(plain, CB_SELECTSTRING, -1, reinterpret_cast<LPARAM>(u"")), CB_ERR);
}

TEST_F(ComboBox, ArrowKeysOnTheClosedBoxChooseAndNotifyAndOnTheDroppedListOnlyHighlight) {
    HWND combo = make_combo();
    fill(combo, {u"a", u"b", u"c"});
    SetFocus(combo);
    settle();
    g_notices.clear();
    headless::press_key(VK_DOWN);
    settle();
    EXPECT_EQ(view(combo).selection, 0);
    headless::press_key(VK_DOWN);
    headless::press_key(VK_END);
    headless::press_key(VK_DOWN);  // nothing past the end
    settle();
    EXPECT_EQ(view(combo).selection, 2);
    EXPECT_EQ(g_notices, (std::vector<int>{CBN_SELCHANGE, CBN_SELCHANGE, CBN_SELCHANGE}));

    g_notices.clear();
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    headless::press_key(VK_UP);
    settle();
    EXPECT_EQ(view(combo).selection, 2);
    EXPECT_EQ(view(combo).list->selection, 1);
    headless::press_key(VK_ESCAPE);
    settle();
    EXPECT_FALSE(view(combo).dropped);
    EXPECT_EQ(view(combo).selection, 2);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    headless::press_key(VK_HOME);
    headless::press_key(VK_RETURN);
    settle();
    EXPECT_EQ(view(combo).selection, 0);
    EXPECT_EQ(g_notices,
              (std::vector<int>{CBN_DROPDOWN, CBN_CLOSEUP, CBN_DROPDOWN, CBN_SELCHANGE, CBN_CLOSEUP}));
    // Closing when closed does nothing.
    g_notices.clear();
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_TRUE(g_notices.empty());
}

TEST_F(ComboBox, ALongListScrollsWithItsBarAndTheStylusCanGoStraightFromTheBoxToAnItem) {
    HWND combo = make_combo();
    for (int i = 0; i < 40; ++i) {
        char16_t name[16];
        wsprintfW(name, u"Map %02d", i);
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    SendMessageW(combo, CB_SETCURSEL, 35, 0);
    settle();
    tap(centre(view(combo).field));
    ComboView v = view(combo);
    const int rows = (184 - kFieldHeight - 2) / 16;  // whole rows inside the border
    // The chosen item is at the top, as far as the items allow.
    EXPECT_EQ(v.list->top, 40 - rows);
    ASSERT_TRUE(v.list->bar.shown);
    EXPECT_TRUE(v.list->bar.enabled);
    tap(centre(v.list->bar.up));
    EXPECT_EQ(view(combo).list->top, 40 - rows - 1);
    v = view(combo);
    const POINT thumb = centre(v.list->bar.thumb);
    headless::stylus_down(thumb.x, thumb.y);
    headless::stylus_move(thumb.x, v.list->bar.track.top - 50);
    headless::stylus_up(thumb.x, v.list->bar.track.top - 50);
    settle();
    v = view(combo);
    EXPECT_TRUE(v.dropped);  // scrolling does not close it
    EXPECT_EQ(v.list->top, 0);
    g_notices.clear();
    tap(centre(v.list->visible[3].rect));
    EXPECT_EQ(view(combo).text, u"Map 03");
    EXPECT_EQ(g_notices, (std::vector<int>{CBN_SELCHANGE, CBN_CLOSEUP}));

    // Pressed on the box, dragged into the list and lifted on an item.
    const POINT field = centre(view(combo).field);
    headless::stylus_down(field.x, field.y);
    settle();
    v = view(combo);
    ASSERT_TRUE(v.dropped);
    const POINT item = centre(v.list->visible[1].rect);
    headless::stylus_move(item.x, item.y);
    headless::stylus_up(item.x, item.y);
    settle();
    EXPECT_FALSE(view(combo).dropped);
    EXPECT_EQ(view(combo).selection, v.list->visible[1].index);
}

TEST_F(ComboBox, TheBoxAsksEditColoursTheListAsksListColoursAndTheListFitsTheScreen) {
    HWND combo = make_combo();
    fill(combo, {u"Harbour", u"Island"});
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    settle();
    tap(centre(view(combo).field));
    const ComboView v = view(combo);
    bool boxAsked = false;
    bool listAsked = false;
    for (const auto& [message, window] : g_colourQuestions) {
        boxAsked |= message == WM_CTLCOLOREDIT && window == combo;
        listAsked |= message == WM_CTLCOLORLISTBOX && window == v.list->window;
    }
    EXPECT_TRUE(boxAsked);
    EXPECT_TRUE(listAsked);
    const RECT second = v.list->visible[1].rect;
    EXPECT_GT(count(RECT{second.left, second.top, second.left + 60, second.bottom}, bluish), 15);
    EXPECT_TRUE(is(headless::pixel(second.right - 10, second.top + 2), RGB(255, 255, 255)));
    const RECT first = v.list->visible[0].rect;
    EXPECT_TRUE(is(headless::pixel(first.right - 10, first.top + 2), RGB(0, 0, 128)));
    tap(centre(first));

    // Without CBS_NOINTEGRALHEIGHT the list holds its items and no more; near
    // the bottom of the screen it opens upwards.
    HWND low = make_combo(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, 230, 120);
    fill(low, {u"one", u"two", u"three"});
    settle();
    tap(centre(view(low).field));
    const ComboView lv = view(low);
    ASSERT_TRUE(lv.dropped);
    RECT r{};
    GetWindowRect(lv.list->window, &r);
    EXPECT_EQ(r.bottom, lv.field.top);
    EXPECT_EQ(r.bottom - r.top, 3 * 16 + 2);
    EXPECT_FALSE(lv.list->bar.shown);
}

// A dropped list of three items is 50 pixels high. It opens below its field
// when it fits there to the screen's last row, and above when one pixel is
// missing.
TEST_F(ComboBox, TheListOpensBelowWhenItJustFitsAndAboveWhenAPixelIsMissing) {
    const struct {
        int fieldTop;  // screen row
        int listTop, listBottom;
    } cases[] = {{250, 270, 320}, {251, 201, 251}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fieldTop);
        HWND combo = make_combo(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, c.fieldTop - 26, 120);
        fill(combo, {u"one", u"two", u"three"});
        settle();
        ASSERT_EQ(view(combo).field.top, c.fieldTop);
        ASSERT_EQ(view(combo).field.bottom, c.fieldTop + kFieldHeight);
        tap(centre(view(combo).field));
        const ComboView v = view(combo);
        ASSERT_TRUE(v.dropped);
        RECT r{};
        GetWindowRect(v.list->window, &r);
        EXPECT_EQ(r.top, c.listTop);
        EXPECT_EQ(r.bottom, c.listBottom);
        tap(centre(v.field));
        DestroyWindow(combo);
    }
}

}  // namespace

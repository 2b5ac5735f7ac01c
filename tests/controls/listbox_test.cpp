#include "platform/testing/dialog_controls.h"
#include "tests/controls/controls_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace controls_test;
namespace headless = platform::headless;
using platform::testing::centre;
using platform::testing::list_box_view;
using platform::testing::list_texts;

namespace {

constexpr DWORD kFindListStyle = WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT |
                                 LBS_DISABLENOSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP;

// The Find dialog's location list: 86 pixels high, one past each side.
HWND make_list(HWND parent, DWORD style = kFindListStyle, int height = 86) {
    return CreateWindowExW(0, WC_LISTBOX, nullptr, style, -1, 60, 242, height, parent,
                           reinterpret_cast<HMENU>(1003), nullptr, nullptr);
}

LRESULT add(HWND list, const std::u16string& text) {
    return SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

int selection_changes(HWND list) {
    return static_cast<int>(std::count_if(g_commands.begin(), g_commands.end(), [&](const Command& c) {
        return c.id == GetDlgCtrlID(list) && c.code == LBN_SELCHANGE;
    }));
}

class ListBox : public ::testing::Test {
protected:
    void SetUp() override {
        start_over();
        main = make_main();
        settle();
    }
    HWND main = nullptr;
};

TEST_F(ListBox, ASortedListOrdersWithoutCaseAndKeepsEqualTextsInTheOrderAdded) {
    HWND list = make_list(main);
    EXPECT_EQ(add(list, u"banana"), 0);
    EXPECT_EQ(add(list, u"Apple"), 0);
    EXPECT_EQ(add(list, u"cherry"), 2);
    EXPECT_EQ(add(list, u"apple"), 1);  // equal without case: after "Apple"
    EXPECT_EQ(add(list, u"\u00e9clair"), 4);  // among the E's, not after Z
    EXPECT_EQ(add(list, u"Zebra"), 5);
    EXPECT_EQ(list_texts(list),
              (std::vector<std::u16string>{u"Apple", u"apple", u"banana", u"cherry", u"\u00e9clair", u"Zebra"}));
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 6);
    EXPECT_EQ(SendMessageW(list, LB_GETTEXTLEN, 3, 0), 6);
    EXPECT_EQ(SendMessageW(list, LB_GETTEXTLEN, 6, 0), LB_ERR);
    WCHAR text[16] = {};
    EXPECT_EQ(SendMessageW(list, LB_GETTEXT, 2, reinterpret_cast<LPARAM>(text)), 6);
    EXPECT_EQ(std::u16string(text), u"banana");
    EXPECT_EQ(SendMessageW(list, LB_GETTEXT, -1, reinterpret_cast<LPARAM>(text)), LB_ERR);

    // An insertion goes where it is told, even in a sorted list.
    EXPECT_EQ(SendMessageW(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(u"zz first")), 0);
    EXPECT_EQ(SendMessageW(list, LB_INSERTSTRING, -1, reinterpret_cast<LPARAM>(u"aa last")), 7);
    EXPECT_EQ(SendMessageW(list, LB_INSERTSTRING, 9, reinterpret_cast<LPARAM>(u"x")), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_DELETESTRING, 0, 0), 7);
    EXPECT_EQ(SendMessageW(list, LB_DELETESTRING, 7, 0), LB_ERR);
    EXPECT_EQ(list_texts(list).front(), u"Apple");

    // Unsorted: the order added.
    HWND plain = make_list(main, WS_CHILD | WS_VISIBLE);
    for (const char16_t* t : {u"b", u"C", u"a"}) add(plain, t);
    EXPECT_EQ(list_texts(plain), (std::vector<std::u16string>{u"b", u"C", u"a"}));
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
}

TEST_F(ListBox, ManyInsertionsAndDeletionsKeepTheSortedOrderOfASortWithTheSameComparison) {
    HWND list = make_list(main);
    std::mt19937 random(5);
    std::vector<std::u16string> model;
    const auto before = [](const std::u16string& a, const std::u16string& b) { return lstrcmpiW(a.c_str(), b.c_str()) < 0; };
    for (int step = 0; step < 6000; ++step) {
        if (!model.empty() && random() % 5 == 0) {
            const auto at = static_cast<int>(random() % model.size());
            ASSERT_EQ(SendMessageW(list, LB_DELETESTRING, at, 0), static_cast<LRESULT>(model.size() - 1));
            model.erase(model.begin() + at);
            continue;
        }
        std::u16string text;
        const int length = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < length; ++i) text += static_cast<char16_t>((random() % 2 ? u'a' : u'A') + random() % 6);
        const auto where = std::upper_bound(model.begin(), model.end(), text, before);
        const auto expected = static_cast<LRESULT>(where - model.begin());
        ASSERT_EQ(add(list, text), expected) << step;
        model.insert(where, text);
    }
    EXPECT_EQ(list_texts(list), model);
    EXPECT_GT(model.size(), 3000u);
}

TEST_F(ListBox, SelectStringFindsTheFirstPrefixWithoutCaseFromAfterTheStartGoingRound) {
    HWND list = make_list(main);
    for (const char16_t* t : {u"Tower of London", u"Museums and Galleries", u"tower block", u"Tower Bridge", u"Abbey"})
        add(list, t);
    // Abbey, Museums and Galleries, tower block, Tower Bridge, Tower of London
    EXPECT_EQ(SendMessageW(list, LB_SELECTSTRING, -1, reinterpret_cast<LPARAM>(u"TOWER")), 2);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(SendMessageW(list, LB_SELECTSTRING, 2, reinterpret_cast<LPARAM>(u"tower")), 3);
    EXPECT_EQ(SendMessageW(list, LB_SELECTSTRING, 4, reinterpret_cast<LPARAM>(u"tower")), 2);  // round to the top
    EXPECT_EQ(SendMessageW(list, LB_SELECTSTRING, -1, reinterpret_cast<LPARAM>(u"museums")), 1);
    EXPECT_EQ(SendMessageW(list, LB_SELECTSTRING, -1, reinterpret_cast<LPARAM>(u"")), 0);
    // No match: nothing changes.
    EXPECT_EQ(SendMessageW(list, LB_SELECTSTRING, -1, reinterpret_cast<LPARAM>(u"Towers")), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
    // Finding selects nothing; the exact form wants the whole text.
    EXPECT_EQ(SendMessageW(list, LB_FINDSTRING, -1, reinterpret_cast<LPARAM>(u"tower br")), 3);
    EXPECT_EQ(SendMessageW(list, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(u"tower")), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(u"TOWER BLOCK")), 2);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
    HWND empty = make_list(main);
    EXPECT_EQ(SendMessageW(empty, LB_SELECTSTRING, -1, reinterpret_cast<LPARAM>(u"")), LB_ERR);
    EXPECT_EQ(SendMessageW(empty, LB_SETCURSEL, 0, 0), LB_ERR);
}

TEST_F(ListBox, SetCurSelAndItemDataAtTheirEdges) {
    HWND list = make_list(main);
    for (int i = 0; i < 30; ++i) add(list, u"item " + std::u16string(1, static_cast<char16_t>(u'A' + i)));
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 29, 0), 29);  // count - 1
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 29);
    // Scrolled into view: the last rows show.
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 30 - 84 / 16);
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 30, 0), LB_ERR);  // count: refused, unchanged
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 29);
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, -1, 0), LB_ERR);  // -1: no selection
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 0);

    EXPECT_EQ(SendMessageW(list, LB_SETITEMDATA, 3, 0x1234), LB_OKAY);
    EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 3, 0), 0x1234);
    EXPECT_EQ(SendMessageW(list, LB_SETITEMDATA, 30, 1), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 30, 0), LB_ERR);
    // Data travels with its item when the list sorts new ones in before it.
    add(list, u"a first");
    EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 4, 0), 0x1234);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);  // so does the selection
    EXPECT_EQ(SendMessageW(list, LB_SETITEMDATA, -1, 7), LB_OKAY);
    EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 30, 0), 7);
    SendMessageW(list, LB_DELETESTRING, 1, 0);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);

    EXPECT_EQ(SendMessageW(list, LB_SETTOPINDEX, 25, 0), LB_OKAY);
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 25);
    EXPECT_EQ(SendMessageW(list, LB_SETTOPINDEX, 29, 0), LB_OKAY);  // as far as the items allow
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 30 - 84 / 16);
    EXPECT_EQ(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), 16);
}

TEST_F(ListBox, TapsAndArrowKeysNotifyASelectionChangeButTheProgramsChoicesDoNot) {
    HWND list = make_list(main);
    for (int i = 0; i < 12; ++i) add(list, u"row " + std::u16string(1, static_cast<char16_t>(u'a' + i)));
    settle();
    g_commands.clear();
    SendMessageW(list, LB_SETCURSEL, 4, 0);
    SendMessageW(list, LB_SELECTSTRING, -1, reinterpret_cast<LPARAM>(u"row b"));
    EXPECT_EQ(selection_changes(list), 0);

    auto view = list_box_view(list);
    ASSERT_TRUE(view.has_value());
    ASSERT_GE(view->visible.size(), 3u);
    const POINT third = centre(view->visible[2].rect);
    headless::stylus_down(third.x, third.y);
    settle();
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(selection_changes(list), 0);  // not before the stylus is lifted
    headless::stylus_up(third.x, third.y);
    settle();
    EXPECT_EQ(selection_changes(list), 1);
    EXPECT_EQ(GetFocus(), list);

    headless::press_key(VK_DOWN);
    settle();
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(selection_changes(list), 2);
    headless::press_key(VK_END);
    headless::press_key(VK_DOWN);  // at the end already: no change, no notice
    settle();
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 11);
    EXPECT_EQ(selection_changes(list), 3);
    headless::press_key(VK_HOME);
    settle();
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);

    // A tap below the last item selects nothing.
    HWND shortList = make_list(main, kFindListStyle);
    MoveWindow(shortList, -1, 160, 242, 86, TRUE);
    add(shortList, u"only");
    settle();
    g_commands.clear();
    const auto shortView = list_box_view(shortList);
    headless::tap(50, shortView->visible[0].rect.bottom + 30);
    settle();
    EXPECT_EQ(SendMessageW(shortList, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(selection_changes(shortList), 0);

    // Without LBS_NOTIFY the parent hears nothing.
    HWND quiet = make_list(main, WS_CHILD | WS_VISIBLE | LBS_NOINTEGRALHEIGHT);
    MoveWindow(quiet, -1, 160, 242, 86, TRUE);
    for (const char16_t* t : {u"x", u"y"}) add(quiet, t);
    settle();
    g_commands.clear();
    const auto quietView = list_box_view(quiet);
    const POINT second = centre(quietView->visible[1].rect);
    headless::tap(second.x, second.y);
    settle();
    EXPECT_EQ(SendMessageW(quiet, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(selection_changes(quiet), 0);
}

TEST_F(ListBox, TheBarIsDisabledWhileEverythingFitsAndScrollsByArrowTrackAndThumb) {
    HWND list = make_list(main);
    const int fit = 84 / 16;  // 5 whole rows in the 84 pixels inside the border
    for (int i = 0; i < fit; ++i) add(list, u"fits " + std::u16string(1, static_cast<char16_t>(u'a' + i)));
    settle();
    auto view = list_box_view(list);
    EXPECT_TRUE(view->bar.shown);
    EXPECT_FALSE(view->bar.enabled);
    // Drawn grey, without a thumb.
    const RECT track = view->bar.track;
    EXPECT_EQ(count(track, [](std::uint32_t p) { return (p & 0xFFFFFF) == 0xEEEEEE; }),
              (track.right - track.left - 1) * (track.bottom - track.top));
    headless::tap(centre(view->bar.down).x, centre(view->bar.down).y);
    settle();
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 0);

    add(list, u"one more");
    settle();
    view = list_box_view(list);
    EXPECT_TRUE(view->bar.enabled);
    EXPECT_GT(view->bar.thumb.bottom, view->bar.thumb.top);

    for (int i = 0; i < 94; ++i) add(list, u"more " + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)));
    settle();
    view = list_box_view(list);
    const int maxTop = 100 - fit;
    headless::tap(centre(view->bar.down).x, centre(view->bar.down).y);
    settle();
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 1);
    headless::tap(centre(view->bar.up).x, centre(view->bar.up).y);
    settle();
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 0);
    // The track below the thumb: a page.
    view = list_box_view(list);
    headless::tap(centre(view->bar.track).x, view->bar.track.bottom - 2);
    settle();
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), fit);
    // The thumb dragged to the bottom shows the last rows, and back up the
    // first; the rows in view follow.
    view = list_box_view(list);
    const POINT thumb = centre(view->bar.thumb);
    headless::stylus_down(thumb.x, thumb.y);
    headless::stylus_move(thumb.x, view->bar.track.bottom + 40);
    settle();
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), maxTop);
    view = list_box_view(list);
    EXPECT_EQ(view->visible.front().index, maxTop);
    EXPECT_EQ(view->visible.back().index, 99);
    headless::stylus_move(thumb.x, view->bar.track.top - 40);
    headless::stylus_up(thumb.x, view->bar.track.top - 40);
    settle();
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 0);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);  // scrolling selects nothing

    // Without LBS_DISABLENOSCROLL the bar shows only when needed.
    HWND plain = make_list(main, WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT);
    add(plain, u"alone");
    EXPECT_FALSE(list_box_view(plain)->bar.shown);
    EXPECT_EQ(list_box_view(plain)->visible[0].rect.right, 241);
}

// PageDown and PageUp move the selection by the whole rows in view less
// one, and at least one, stopping at the ends; each move notifies.
TEST_F(ListBox, PageKeysStepByTheWholeRowsLessOneAndAtLeastOne) {
    struct Case {
        int height;  // the list's, border included: 16-pixel rows inside
        int afterDowns[3];  // from item 0
        int upFromLast;     // PageUp from item 11
    };
    const Case cases[] = {
        {86, {4, 8, 11}, 7},  // 5 whole rows: a page of 4
        {50, {2, 4, 6}, 9},   // 3 whole rows: a page of 2
        {34, {1, 2, 3}, 10},  // 2 whole rows: a page of 1
        {18, {1, 2, 3}, 10},  // 1 whole row: still 1
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.height);
        HWND list = make_list(main, kFindListStyle, c.height);
        for (int i = 0; i < 12; ++i) add(list, u"row " + std::u16string(1, static_cast<char16_t>(u'a' + i)));
        SendMessageW(list, LB_SETCURSEL, 0, 0);
        SetFocus(list);
        settle();
        g_commands.clear();
        for (int i = 0; i < 3; ++i) {
            headless::press_key(VK_NEXT);
            settle();
            EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), c.afterDowns[i]);
            EXPECT_EQ(selection_changes(list), i + 1);
        }
        SendMessageW(list, LB_SETCURSEL, 11, 0);
        headless::press_key(VK_PRIOR);
        settle();
        EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), c.upFromLast);
        EXPECT_EQ(selection_changes(list), 4);
        DestroyWindow(list);
    }
}

// The thumb dragged by a few pixels moves the rows to the nearest position
// for the pixels, not the one below: on 100 items, 5 in view, a pixel is
// about two rows.
TEST_F(ListBox, AThumbDraggedAFewPixelsRoundsToTheNearestRow) {
    HWND list = make_list(main);
    for (int i = 0; i < 100; ++i) add(list, u"row " + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)));
    struct Case {
        int top, dy, expected;
    };
    const Case cases[] = {{0, 1, 2}, {0, 3, 6}, {95, -1, 93}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.top) + " by " + std::to_string(c.dy));
        SendMessageW(list, LB_SETTOPINDEX, c.top, 0);
        settle();
        const auto view = list_box_view(list);
        ASSERT_EQ(view->top, c.top);
        const POINT thumb = centre(view->bar.thumb);
        headless::stylus_down(thumb.x, thumb.y);
        headless::stylus_move(thumb.x, thumb.y + c.dy);
        headless::stylus_up(thumb.x, thumb.y + c.dy);
        settle();
        EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), c.expected);
    }
}

// A parent that answers the list's colour question as the Find dialog does,
// or with its own brush and transparent text.
struct Colours {
    COLORREF text;
    HBRUSH brush;
    bool transparent;
} g_colours;

LRESULT CALLBACK colour_parent(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CTLCOLORLISTBOX) {
        SetTextColor(reinterpret_cast<HDC>(wParam), g_colours.text);
        if (g_colours.transparent) SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(g_colours.brush);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(ListBox, OnlyTheRowsInViewAreDrawnInTheColoursTheParentAnswers) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = colour_parent;
    wc.lpszClassName = u"ColourParent";
    RegisterClassW(&wc);
    HWND parent = CreateWindowExW(0, u"ColourParent", u"", WS_VISIBLE, 0, 26, 240, 268, nullptr, nullptr, nullptr,
                                  nullptr);
    g_colours = {RGB(0, 0, 255), static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), false};
    HWND list = make_list(parent);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    std::vector<std::u16string> names;
    for (int i = 0; i < 20000; ++i) {
        char16_t name[32];
        wsprintfW(name, u"Place %05d", (i * 7919) % 20000);
        add(list, name);
    }
    const RECT rows = screen_rect(list);
    settle();
    // Nothing drawn while redrawing is off.
    EXPECT_EQ(count(RECT{rows.left + 1, rows.top + 1, rows.right - 14, rows.bottom - 1}, bluish), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    SendMessageW(list, LB_SETCURSEL, 15001, 0);
    settle();
    auto view = list_box_view(list);
    ASSERT_EQ(view->visible.size(), 6u);  // five whole rows and part of a sixth
    EXPECT_EQ(view->visible.back().rect.bottom, rows.bottom - 1);
    EXPECT_EQ(view->visible.back().text, u"Place 15002");
    EXPECT_EQ(view->visible[4].index, 15001);
    EXPECT_TRUE(view->visible[4].selected);
    // The selected row: a navy bar with white letters; the others blue on
    // white; the bar to their right.
    const RECT selected = view->visible[4].rect;
    const RECT text{selected.left + 2, selected.top, selected.left + 90, selected.bottom};
    EXPECT_TRUE(is(headless::pixel(selected.right - 20, selected.top + 1), RGB(0, 0, 128)));
    EXPECT_GT(count(text, [](std::uint32_t p) { return (p & 0xFF) > 200 && ((p >> 16) & 0xFF) > 200; }), 20);
    const RECT other = view->visible[1].rect;
    EXPECT_GT(count(RECT{other.left, other.top, other.left + 90, other.bottom}, bluish), 20);
    EXPECT_TRUE(is(headless::pixel(other.right - 20, other.top + 1), RGB(255, 255, 255)));
    EXPECT_EQ(count(RECT{other.left, other.top, other.right, other.bottom}, dark), 0);

    // Another brush and transparent red text: the ground is the brush's.
    HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 192));
    g_colours = {RGB(255, 0, 0), yellow, true};
    InvalidateRect(list, nullptr, FALSE);
    settle();
    EXPECT_TRUE(is(headless::pixel(other.right - 20, other.top + 1), RGB(255, 255, 192)));
    EXPECT_GT(count(RECT{other.left, other.top, other.left + 90, other.bottom},
                    [](std::uint32_t p) { return ((p >> 16) & 0xFF) > 200 && (p & 0xFF) < 150 && ((p >> 8) & 0xFF) < 150; }),
              20);
    DestroyWindow(parent);
    DeleteObject(yellow);
}

}  // namespace

// The standard scroll bars of edits, list views, tree views and list boxes
// wear the skin's bar colours, while the window keeps its scrolling exactly:
// the same presses on the same bars give the same WM_VSCROLL/WM_HSCROLL
// codes, track positions, scroll information and hit tests skinned as
// unskinned; the skin's bar shows also while the system's tracking runs.
// The list box's drawn bar takes the skin's width.
#include <doctest.h>
#include <windows.h>
#include <commctrl.h>
#include <map>
#include <string>
#include <vector>
#include "CKivComboBox.h"
#include "CKivEditBox.h"
#include "CKivGdiObject.h"
#include "CKivListBox.h"
#include "CKivListCtrl.h"
#include "CKivSkinStore.h"
#include "CKivTreeCtrl.h"
#include "KivControlTestHost.h"
#include "KivGdiLeakOracle.h"
#include "KivTestInput.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"

using kivtest::ControlHost;
namespace colours = kivtest::controlskin;

namespace {

const int kId = 800;

// What a window heard of its scroll requests, recorded above every subclass.
struct ScrollNote
{
    UINT message;
    int code;
    int trackPos;
    bool operator==(const ScrollNote& o) const { return message == o.message && code == o.code && trackPos == o.trackPos; }
};
std::map<HWND, std::vector<ScrollNote>> g_notes;
std::map<HWND, WNDPROC> g_below;

LRESULT CALLBACK Recorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_VSCROLL || message == WM_HSCROLL)
    {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(window, message == WM_VSCROLL ? SB_VERT : SB_HORZ, &info);
        g_notes[window].push_back(ScrollNote{message, LOWORD(wParam), info.nTrackPos});
    }
    return CallWindowProcW(g_below[window], window, message, wParam, lParam);
}

void Record(HWND window)
{
    g_below[window] =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Recorder)));
}

// The codes in order, repeats of the same code merged (how often the mouse
// moves are merged depends on the machine's pace), each with its last track position.
std::vector<ScrollNote> Merged(HWND window)
{
    std::vector<ScrollNote> merged;
    for (const ScrollNote& note : g_notes[window])
        if (!merged.empty() && merged.back().message == note.message && merged.back().code == note.code)
            merged.back() = note;
        else
            merged.push_back(note);
    return merged;
}

SCROLLBARINFO BarInfo(HWND window, LONG bar)
{
    SCROLLBARINFO info{};
    info.cbSize = sizeof(info);
    GetScrollBarInfo(window, bar, &info);
    return info;
}

SCROLLINFO Scroll(HWND window, int bar)
{
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(window, bar, &info);
    return info;
}

bool SameScroll(HWND a, HWND b, int bar)
{
    const SCROLLINFO x = Scroll(a, bar);
    const SCROLLINFO y = Scroll(b, bar);
    return x.nMin == y.nMin && x.nMax == y.nMax && x.nPage == y.nPage && x.nPos == y.nPos;
}

// A point of a vertical bar: along = pixels from the bar's top, in screen coordinates.
POINT OnVerticalBar(HWND window, int along)
{
    const SCROLLBARINFO info = BarInfo(window, OBJID_VSCROLL);
    return POINT{(info.rcScrollBar.left + info.rcScrollBar.right) / 2, info.rcScrollBar.top + along};
}

POINT ThumbMiddle(HWND window)
{
    const SCROLLBARINFO info = BarInfo(window, OBJID_VSCROLL);
    return OnVerticalBar(window, (info.xyThumbTop + info.xyThumbBottom) / 2);
}

void PlaceCursor(POINT screen)
{
    auto there = [&] {
        POINT now{};
        return GetCursorPos(&now) && now.x == screen.x && now.y == screen.y;
    };
    for (int attempt = 0; attempt < 5; ++attempt)
    {
        SetCursorPos(screen.x, screen.y);
        if (kivtest::PumpUntil(there, 2000))
            break;
    }
    REQUIRE(there());
}

// The steps of a drag still to come, sent one at a time from a timer that
// runs inside the tracking loop: each step is handled before the next is sent.
// Under Wine the display echoes a moved pointer late, at a place already
// passed; the last place is sent once more so that it is the one the release
// finds.
struct DragSteps
{
    std::vector<POINT> points;
    size_t next = 0;
    bool repeated = false;
    bool released = false;
};
DragSteps g_drag;

void CALLBACK NextDragStep(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (g_drag.next < g_drag.points.size())
    {
        kivtest::SendMouseToScreen(g_drag.points[g_drag.next++]);
        if (g_drag.next == g_drag.points.size() && !g_drag.repeated)
        {
            g_drag.repeated = true;
            g_drag.points.push_back(g_drag.points.back());
        }
        return;
    }
    KillTimer(nullptr, timer);
    kivtest::SendLeftButton(false);
    g_drag.released = true;
}

// Presses at a point, drags through the others and lets go, through the
// real input queue; the system's tracking runs while the press is handled.
void Gesture(POINT press, const std::vector<POINT>& drag)
{
    PlaceCursor(press);
    g_drag = DragSteps();
    g_drag.points = drag;
    SetTimer(nullptr, 0, 40, &NextDragStep);
    kivtest::SendLeftButton(true);
    kivtest::PumpUntil([] { return g_drag.released && GetCapture() == nullptr; }, 5000);
    kivtest::PumpPending();
}

// What the screen shows: the program's drawing reaches the display when it
// next looks for a message, so look for one that is never sent first.
COLORREF ScreenPixel(POINT at)
{
    MSG none;
    PeekMessageW(&none, nullptr, WM_APP + 0x3FFF, WM_APP + 0x3FFF, PM_NOREMOVE);
    const HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

// The skin's bar is on the screen: the thumb, the track beside it, an arrow box.
void CheckSkinnedLook(HWND window)
{
    const SCROLLBARINFO info = BarInfo(window, OBJID_VSCROLL);
    REQUIRE(info.xyThumbBottom > info.xyThumbTop + 4);
    CHECK(ScreenPixel(ThumbMiddle(window)) == colours::kBar);
    const int arrow = GetSystemMetrics(SM_CYVSCROLL);
    const int trackAt = info.xyThumbTop > arrow + 4 ? arrow + 2 : info.xyThumbBottom + 2;
    CHECK(ScreenPixel(OnVerticalBar(window, trackAt)) == colours::kTrack);
    CHECK(ScreenPixel(POINT{info.rcScrollBar.left + 2, info.rcScrollBar.top + 2}) == colours::kBar);
}

std::wstring Lines(int count)
{
    std::wstring text;
    for (int i = 0; i < count; ++i)
        text += L"Line " + std::to_wstring(i) + L" of a long text that runs well beyond the edit's right edge\r\n";
    return text;
}

HWND MakeEdit(ControlHost& host, int x, bool skinned)
{
    const std::wstring text = Lines(200);
    const HWND edit = host.Control(L"EDIT", WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                                ES_AUTOHSCROLL,
                                   x, 10, 190, 200, kId + x, skinned, text.c_str());
    Record(edit);
    return edit;
}

HWND MakeListView(ControlHost& host, int x, bool skinned)
{
    const HWND list = host.Control(WC_LISTVIEWW, LVS_REPORT | WS_BORDER, x, 10, 190, 200, kId + x, skinned);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 300;
    column.pszText = const_cast<wchar_t*>(L"Name");
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    for (int i = 0; i < 300; ++i)
    {
        const std::wstring text = L"Item " + std::to_wstring(i);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<wchar_t*>(text.c_str());
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    Record(list);
    RedrawWindow(list, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    return list;
}

// The same presses on both: the same requests, track positions and scroll information.
void CheckSameScrolling(HWND skinned, HWND plain, UINT firstVisible)
{
    const SCROLLBARINFO bar = BarInfo(plain, OBJID_VSCROLL);
    const int length = bar.rcScrollBar.bottom - bar.rcScrollBar.top;
    const int arrow = GetSystemMetrics(SM_CYVSCROLL);
    struct Press
    {
        const char* what;
        int along;
        std::vector<int> drag;
    };
    const Press presses[] = {
        {"down arrow", length - arrow / 2, {}},
        {"track below the thumb", length - arrow - 3, {}},
        {"up arrow", arrow / 2, {}},
        {"thumb dragged down", -1, {20, 45, 70}},
    };
    for (const Press& press : presses)
    {
        const std::string what = press.what;
        CAPTURE(what);
        for (HWND window : {skinned, plain})
        {
            g_notes[window].clear();
            const POINT at = press.along >= 0 ? OnVerticalBar(window, press.along) : ThumbMiddle(window);
            std::vector<POINT> drag;
            for (size_t i = 0; i < press.drag.size(); ++i)
                drag.push_back(POINT{at.x, at.y + press.drag[i]});
            Gesture(at, drag);
        }
        CHECK_FALSE(g_notes[plain].empty());
        CHECK(Merged(skinned) == Merged(plain));
        CHECK(SameScroll(skinned, plain, SB_VERT));
        CHECK(SendMessageW(skinned, firstVisible, 0, 0) == SendMessageW(plain, firstVisible, 0, 0));
        CheckSkinnedLook(skinned);
    }
    // Hit tests, the wheel and the keyboard are the window's own.
    const POINT middle = OnVerticalBar(skinned, length / 2);
    const POINT plainMiddle = OnVerticalBar(plain, length / 2);
    CHECK(SendMessageW(skinned, WM_NCHITTEST, 0, MAKELPARAM(middle.x, middle.y)) ==
          SendMessageW(plain, WM_NCHITTEST, 0, MAKELPARAM(plainMiddle.x, plainMiddle.y)));
    for (HWND window : {skinned, plain})
    {
        SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
        SendMessageW(window, WM_KEYDOWN, VK_NEXT, 0);
        SendMessageW(window, WM_KEYUP, VK_NEXT, 0);
    }
    CHECK(SameScroll(skinned, plain, SB_VERT));
    CHECK(SendMessageW(skinned, firstVisible, 0, 0) == SendMessageW(plain, firstVisible, 0, 0));
    CheckSkinnedLook(skinned);
}

}  // namespace

TEST_CASE("an edit's scroll bars: the skin's colours, the same scrolling skinned and unskinned")
{
    kivtest::InstallControlSkin();
    ControlHost host(true, 420, 260);
    const HWND skinned = MakeEdit(host, 10, true);
    const HWND plain = MakeEdit(host, 210, false);
    CKivEditBox* skin = ControlHost::Skin<CKivEditBox>(skinned);
    REQUIRE(skin != nullptr);
    REQUIRE(ControlHost::Skin<CKivEditBox>(plain) == nullptr);
    kivtest::PumpPending();
    CheckSkinnedLook(skinned);
    // The unskinned bar is the system's.
    CHECK(ScreenPixel(ThumbMiddle(plain)) != colours::kBar);
    // The horizontal bar and the corner too.
    const SCROLLBARINFO horizontal = BarInfo(skinned, OBJID_HSCROLL);
    CHECK(ScreenPixel(POINT{horizontal.rcScrollBar.left + horizontal.xyThumbTop + 3,
                            (horizontal.rcScrollBar.top + horizontal.rcScrollBar.bottom) / 2}) == colours::kBar);
    const SCROLLBARINFO vertical = BarInfo(skinned, OBJID_VSCROLL);
    CHECK(ScreenPixel(POINT{vertical.rcScrollBar.left + 3, horizontal.rcScrollBar.bottom - 3}) == colours::kTrack);

    CheckSameScrolling(skinned, plain, EM_GETFIRSTVISIBLELINE);

    // Typing makes the control set its bars again (the system draws them):
    // the skin's stay on the screen.
    SendMessageW(skinned, EM_SETSEL, 0, 0);
    SendMessageW(skinned, WM_CHAR, 'x', 0);
    CheckSkinnedLook(skinned);
}

TEST_CASE("a list view's scroll bar: a thumb drag scrolls the items by the system's track position, as unskinned")
{
    kivtest::InstallControlSkin();
    ControlHost host(true, 420, 260);
    const HWND skinned = MakeListView(host, 10, true);
    const HWND plain = MakeListView(host, 210, false);
    REQUIRE(ControlHost::Skin<CKivListCtrl>(skinned) != nullptr);
    kivtest::PumpPending();
    CheckSkinnedLook(skinned);
    CheckSameScrolling(skinned, plain, LVM_GETTOPINDEX);
    CHECK(SendMessageW(skinned, LVM_GETTOPINDEX, 0, 0) > 0);
}

namespace {

struct HeldArrow
{
    HWND window = nullptr;
    POINT arrow = {};
    COLORREF seen = CLR_INVALID;
    bool captured = false;
    int ticks = 0;
};
HeldArrow g_held;

// Runs inside the system's tracking loop: what shows while the arrow is held.
void CALLBACK LookWhileHeld(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (++g_held.ticks < 4)
        return;
    KillTimer(nullptr, timer);
    g_held.captured = GetCapture() == g_held.window;
    g_held.seen = ScreenPixel(POINT{g_held.arrow.x, g_held.arrow.y});
    kivtest::SendLeftButton(false);
}

}  // namespace

TEST_CASE("while the system tracks a held arrow the skin's bar shows it pressed, and the arrow repeats")
{
    kivtest::InstallControlSkin();
    ControlHost host(true, 420, 260);
    const HWND edit = MakeEdit(host, 10, true);
    kivtest::PumpPending();
    const SCROLLBARINFO bar = BarInfo(edit, OBJID_VSCROLL);
    g_held = HeldArrow();
    g_held.window = edit;
    // Inside the arrow box, off its triangle.
    g_held.arrow = POINT{bar.rcScrollBar.left + 2, bar.rcScrollBar.bottom - 3};
    g_notes[edit].clear();
    PlaceCursor(POINT{(bar.rcScrollBar.left + bar.rcScrollBar.right) / 2, bar.rcScrollBar.bottom - 4});
    SetTimer(nullptr, 0, 120, &LookWhileHeld);
    kivtest::SendLeftButton(true);
    CHECK(kivtest::PumpUntil([] { return g_held.seen != CLR_INVALID; }, 5000));
    kivtest::PumpUntil([] { return GetCapture() == nullptr; }, 3000);
    CHECK(g_held.captured);
    CHECK(g_held.seen == colours::kSlider);
    int lineDowns = 0;
    for (const ScrollNote& note : g_notes[edit])
        lineDowns += note.code == SB_LINEDOWN ? 1 : 0;
    CHECK(lineDowns > 1);
    REQUIRE_FALSE(g_notes[edit].empty());
    CHECK(g_notes[edit].back().code == SB_ENDSCROLL);
    // Released: the arrow rests again.
    kivtest::PumpPending();
    CHECK(ScreenPixel(g_held.arrow) == colours::kBar);
}

TEST_CASE("tree views and list boxes: their scroll bars in the skin's colours; repaints keep the GDI objects flat")
{
    kivtest::InstallControlSkin();
    ControlHost host(true, 420, 260);
    const HWND tree = host.Control(WC_TREEVIEWW, WS_BORDER, 10, 10, 190, 200, kId, true);
    REQUIRE(ControlHost::Skin<CKivTreeCtrl>(tree) != nullptr);
    for (int i = 0; i < 60; ++i)
    {
        const std::wstring text = L"Node " + std::to_wstring(i);
        TVINSERTSTRUCTW insert{};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<wchar_t*>(text.c_str());
        SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert));
    }
    const HWND list = host.Control(L"LISTBOX", WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT, 210, 10, 190,
                                   200, kId + 1, true);
    CKivListBox* listSkin = ControlHost::Skin<CKivListBox>(list);
    REQUIRE(listSkin != nullptr);
    for (int i = 0; i < 60; ++i)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"A row of the list"));
    SendMessageW(list, LB_SETHORIZONTALEXTENT, 600, 0);
    kivtest::PumpPending();
    CheckSkinnedLook(tree);
    // The list's horizontal bar is the system's bar in the list's colours.
    const SCROLLBARINFO horizontal = BarInfo(list, OBJID_HSCROLL);
    REQUIRE(!(horizontal.rgstate[0] & STATE_SYSTEM_INVISIBLE));
    CHECK(ScreenPixel(POINT{horizontal.rcScrollBar.left + horizontal.xyThumbTop + 3,
                            (horizontal.rcScrollBar.top + horizontal.rcScrollBar.bottom) / 2}) == colours::kBar);
    CHECK(ScreenPixel(POINT{horizontal.rcScrollBar.right - GetSystemMetrics(SM_CXHSCROLL) - 3,
                            (horizontal.rcScrollBar.top + horizontal.rcScrollBar.bottom) / 2}) == colours::kTrack);
    // A press on it scrolls the list as the system's bar does.
    const LRESULT before = SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0);
    Gesture(POINT{horizontal.rcScrollBar.right - GetSystemMetrics(SM_CXHSCROLL) / 2,
                  (horizontal.rcScrollBar.top + horizontal.rcScrollBar.bottom) / 2},
            {});
    CHECK(GetScrollPos(list, SB_HORZ) > 0);
    CHECK(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0) == before);

    auto round = [&] {
        for (HWND window : {tree, list})
            RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        SendMessageW(tree, WM_VSCROLL, SB_LINEDOWN, 0);
        SendMessageW(list, WM_HSCROLL, SB_LINERIGHT, 0);
    };
    round();
    kivtest::GdiLeakOracle oracle;
    const long ours = CKivGdiObjectCount::Live();
    const long process = oracle.LiveObjects();
    for (int i = 0; i < 200; ++i)
        round();
    CHECK(CKivGdiObjectCount::Live() == ours);
    CHECK(oracle.LiveObjects() == process);
}

TEST_CASE("the list box's drawn bar takes the skin's width: narrower within the system's strip, wider into the rows")
{
    for (const int width : {8, 30})
    {
        CAPTURE(width);
        kivtest::InstallControlSkin();
        CKivSkinStore::Settings().listBoxVScrollSize = width;
        CKivSkinStore::Settings().comboBoxListBoxVScrollSize = width;
        ControlHost host(true, 420, 260);
        const HWND list =
            host.Control(L"LISTBOX", WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY, 10, 10, 190, 200, kId, true);
        CKivListBox* skin = ControlHost::Skin<CKivListBox>(list);
        REQUIRE(skin != nullptr);
        for (int i = 0; i < 60; ++i)
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"));
        kivtest::PumpPending();
        RECT client{};
        GetClientRect(list, &client);
        const SCROLLBARINFO system = BarInfo(list, OBJID_VSCROLL);
        POINT origin{0, 0};
        ClientToScreen(list, &origin);
        const RECT bar = skin->Bar().Bounds();
        // At the right edge of the system's strip, as wide as the skin says.
        CHECK(bar.right - bar.left == width);
        CHECK(bar.right + origin.x == system.rcScrollBar.right);
        const int middle = origin.y + (bar.top + bar.bottom) / 2;
        CHECK(ScreenPixel(POINT{origin.x + bar.left + 1, origin.y + bar.top + 2}) == colours::kBar);
        if (bar.left + origin.x > system.rcScrollBar.left)
        {
            // The rest of the strip takes the list's background.
            CHECK(ScreenPixel(POINT{system.rcScrollBar.left + 1, middle}) == colours::kListBackground);
        }
        else
        {
            // The rows end where the bar begins: under it the list shows the
            // bar alone, no text.
            CHECK(bar.left < client.right);
            kivtest::Canvas canvas(client.right, client.bottom, 0);
            SendMessageW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.DC()), PRF_CLIENT);
            kivtest::Canvas alone(client.right, client.bottom, colours::kListBackground);
            skin->Bar().Draw(alone.DC(), bar.left, bar.top);
            int differ = 0;
            for (int y = 0; y < client.bottom; ++y)
                for (int x = bar.left; x < client.right; ++x)
                    differ += canvas.Pixel(x, y) != alone.Pixel(x, y) ? 1 : 0;
            CHECK(differ == 0);
            // A press on the part inside the client area is the bar's: the
            // list scrolls and selects nothing.
            const SCROLLINFO before = Scroll(list, SB_VERT);
            Gesture(POINT{origin.x + bar.left + 2, origin.y + bar.bottom - 6}, {});
            CHECK(Scroll(list, SB_VERT).nPos > before.nPos);
            CHECK(SendMessageW(list, LB_GETCURSEL, 0, 0) == LB_ERR);
        }

        // A combo box's drop-down takes ListBoxVScrollSize the same way.
        const HWND combo = host.Control(L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, 210, 10, 180, 150, kId + 1, true);
        CKivComboBox* comboSkin = ControlHost::Skin<CKivComboBox>(combo);
        REQUIRE(comboSkin != nullptr);
        for (int i = 0; i < 40; ++i)
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"item"));
        SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
        kivtest::PumpPending();
        const RECT dropBar = comboSkin->DropDownList().Bar().Bounds();
        CHECK(dropBar.right - dropBar.left == width);
        SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    }
}

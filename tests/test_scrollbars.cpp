// The drawn scroll bar of SCROLLBAR controls and list boxes: the thumb shows
// what the control holds, arrows and track repeat while held and stop with
// the button or the capture, a thumb drag reports THUMBTRACK ... THUMBPOSITION
// with the full 32-bit position, and a 70,000-item list is reachable by
// dragging its thumb to the end.
#include <doctest.h>
#include "CKivListBox.h"
#include "CKivSysScrollBar.h"
#include "KivControlTestHost.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <string>
#include <vector>

using kivtest::ControlHost;
namespace colours = kivtest::controlskin;

namespace {

const int kId = 400;

int CountOf(const std::vector<int>& codes, int code)
{
    int count = 0;
    for (int each : codes)
        count += each == code ? 1 : 0;
    return count;
}

kivtest::Canvas* Print(HWND window, kivtest::Canvas& canvas)
{
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.DC()), PRF_CLIENT);
    return &canvas;
}

POINT ToScreen(HWND window, int x, int y)
{
    POINT point{x, y};
    ClientToScreen(window, &point);
    return point;
}

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

// Wine moves the cursor asynchronously, and a late event of an earlier move
// can put it back: wait until it reports the new place and still does a
// little later.
void PlaceCursor(POINT screen)
{
    auto there = [&] {
        POINT now{};
        return GetCursorPos(&now) && now.x == screen.x && now.y == screen.y;
    };
    bool settled = false;
    for (int attempt = 0; attempt < 5 && !settled; ++attempt)
    {
        SetCursorPos(screen.x, screen.y);
        settled = kivtest::PumpUntil(there, 2000);
        kivtest::PumpUntil([] { return false; }, 40);
        settled = settled && there();
    }
    REQUIRE(settled);
}

// Puts the cursor on a client point and sends the mouse message there, as
// the system would deliver it to a window holding the capture.
void MouseAt(HWND window, UINT message, int x, int y)
{
    PlaceCursor(ToScreen(window, x, y));
    SendMessageW(window, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, At(x, y));
}

// Thumb middle of a vertical drawn bar, in client coordinates.
POINT ThumbMiddle(const CKivDirectScrollBar& bar)
{
    const RECT bounds = bar.Bounds();
    const CKivDirectScrollBar::Layout layout = bar.Measure();
    return POINT{(bounds.left + bounds.right) / 2, bounds.top + layout.thumbStart + layout.thumbLength / 2};
}

struct VerticalBar
{
    ControlHost host;
    HWND bar = nullptr;
    CKivSysScrollBar* skin = nullptr;
    explicit VerticalBar(int height = 200)
    {
        kivtest::InstallControlSkin();
        bar = host.Control(L"SCROLLBAR", SBS_VERT, 20, 20, 20, height, kId, true);
        skin = ControlHost::Skin<CKivSysScrollBar>(bar);
        REQUIRE(skin != nullptr);
    }
};

}  // namespace

TEST_CASE("a thumb shows after SetScrollRange and SetScrollPos; empty ranges and short bars show none")
{
    VerticalBar v;
    SetScrollRange(v.bar, SB_CTL, 0, 100, TRUE);
    SetScrollPos(v.bar, SB_CTL, 50, TRUE);
    kivtest::PumpPending();
    // Track 200 - 2 x 18 = 164, thumb 10 (no page), at 18 + 154 x 50 / 100 = 95.
    kivtest::Canvas canvas(20, 200, RGB(1, 2, 3));
    Print(v.bar, canvas);
    CHECK(canvas.Pixel(10, 100) == colours::kBar);
    CHECK(canvas.Pixel(0, 95) == colours::kBarBorder);
    CHECK(canvas.Pixel(10, 94) == colours::kTrack);
    CHECK(canvas.Pixel(10, 106) == colours::kTrack);
    CHECK(canvas.Pixel(3, 9) == colours::kBar);     // up arrow
    CHECK(canvas.Pixel(3, 190) == colours::kBar);   // down arrow
    CHECK(canvas.Pixel(10, 60) == colours::kTrack);
    // What the screen shows is the same picture.
    HDC screen = GetDC(nullptr);
    const POINT thumb = ToScreen(v.bar, 10, 100);
    CHECK(GetPixel(screen, thumb.x, thumb.y) == colours::kBar);
    ReleaseDC(nullptr, screen);

    // A page shows as a proportional thumb: 164 x 20 / 101 = 32 pixels.
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_PAGE;
    info.nPage = 20;
    SetScrollInfo(v.bar, SB_CTL, &info, TRUE);
    CHECK(v.skin->Bar().Measure().thumbLength == 32);

    SetScrollRange(v.bar, SB_CTL, 5, 5, TRUE);
    CHECK(GetScrollPos(v.bar, SB_CTL) == 5);
    Print(v.bar, canvas);
    CHECK_FALSE(v.skin->Bar().HasThumb());
    CHECK(canvas.Pixel(10, 100) == colours::kTrack);

    // Too short for two arrows and a thumb: halved arrows, no thumb.
    const HWND shortBar = v.host.Control(L"SCROLLBAR", SBS_VERT, 60, 20, 20, 30, kId + 1, true);
    SetScrollRange(shortBar, SB_CTL, 0, 100, TRUE);
    SetScrollPos(shortBar, SB_CTL, 50, TRUE);
    kivtest::Canvas small(20, 30, RGB(1, 2, 3));
    Print(shortBar, small);
    const CKivSysScrollBar* shortSkin = ControlHost::Skin<CKivSysScrollBar>(shortBar);
    REQUIRE(shortSkin != nullptr);
    CHECK(shortSkin->Bar().Measure().arrow == 15);
    CHECK_FALSE(shortSkin->Bar().HasThumb());
    CHECK(small.Pixel(2, 2) == colours::kBar);
    CHECK(small.Pixel(2, 27) == colours::kBar);

    // A horizontal bar lays the same out along x.
    const HWND wide = v.host.Control(L"SCROLLBAR", SBS_HORZ, 100, 20, 200, 20, kId + 2, true);
    SetScrollRange(wide, SB_CTL, 0, 100, TRUE);
    SetScrollPos(wide, SB_CTL, 50, TRUE);
    kivtest::Canvas across(200, 20, RGB(1, 2, 3));
    Print(wide, across);
    CHECK(across.Pixel(100, 10) == colours::kBar);
    CHECK(across.Pixel(60, 10) == colours::kTrack);
}

TEST_CASE("arrows repeat after 300 ms while held on them, pause off them, and stop with the button or the capture")
{
    VerticalBar v;
    ControlHost::FollowScrolls() = true;
    SetScrollRange(v.bar, SB_CTL, 0, 100000, TRUE);
    auto lineDowns = [] { return CountOf(ControlHost::ScrollCodes(), SB_LINEDOWN); };

    ControlHost::Clear();
    const ULONGLONG start = GetTickCount64();
    MouseAt(v.bar, WM_LBUTTONDOWN, 10, 190);
    CHECK(lineDowns() == 1);
    CHECK(GetCapture() == v.bar);
    REQUIRE(kivtest::PumpUntil([&] { return lineDowns() >= 2; }, 2000));
    CHECK(GetTickCount64() - start >= 250);
    REQUIRE(kivtest::PumpUntil([&] { return lineDowns() >= 12; }, 2000));
    // Off the arrow the steps pause; back on it they go on.
    PlaceCursor(POINT{600, 600});
    const int paused = lineDowns();
    kivtest::PumpUntil([] { return false; }, 150);
    CHECK(lineDowns() == paused);
    PlaceCursor(ToScreen(v.bar, 10, 190));
    CHECK(kivtest::PumpUntil([&] { return lineDowns() > paused + 2; }, 2000));
    MouseAt(v.bar, WM_LBUTTONUP, 10, 190);
    const int released = lineDowns();
    CHECK(ControlHost::ScrollCodes().back() == SB_ENDSCROLL);
    CHECK(GetCapture() != v.bar);
    kivtest::PumpUntil([] { return false; }, 150);
    CHECK(lineDowns() == released);
    // The parent moved the control one step per request, and the bar shows it.
    CHECK(GetScrollPos(v.bar, SB_CTL) == released);
    CHECK(v.skin->Bar().Position() == released);

    // Losing the capture ends the repeat.
    ControlHost::Clear();
    MouseAt(v.bar, WM_LBUTTONDOWN, 10, 190);
    SetCapture(v.host.Window());
    const int stolen = lineDowns();
    kivtest::PumpUntil([] { return false; }, 400);
    CHECK(lineDowns() == stolen);
    CHECK_FALSE(v.skin->Bar().Dragging());
    ReleaseCapture();

    // So does the system's cancel of modes.
    ControlHost::Clear();
    MouseAt(v.bar, WM_LBUTTONDOWN, 10, 190);
    SendMessageW(v.bar, WM_CANCELMODE, 0, 0);
    const int cancelled = lineDowns();
    CHECK(ControlHost::ScrollCodes().back() == SB_ENDSCROLL);
    CHECK(GetCapture() != v.bar);
    kivtest::PumpUntil([] { return false; }, 400);
    CHECK(lineDowns() == cancelled);

    // A double click is a press; the track pages.
    ControlHost::Clear();
    MouseAt(v.bar, WM_LBUTTONDBLCLK, 10, 5);
    MouseAt(v.bar, WM_LBUTTONUP, 10, 5);
    CHECK(CountOf(ControlHost::ScrollCodes(), SB_LINEUP) == 1);
    SetScrollPos(v.bar, SB_CTL, 0, TRUE);
    ControlHost::Clear();
    MouseAt(v.bar, WM_LBUTTONDOWN, 10, 150);
    MouseAt(v.bar, WM_LBUTTONUP, 10, 150);
    CHECK(ControlHost::ScrollCodes() == std::vector<int>{SB_PAGEDOWN, SB_ENDSCROLL});
}

TEST_CASE("a thumb drag reports THUMBTRACK then THUMBPOSITION with 32-bit positions; a still click and a snap-back keep the position")
{
    VerticalBar v;
    ControlHost::FollowScrolls() = true;
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    info.nMin = 0;
    info.nMax = 99999;
    info.nPage = 1000;
    info.nPos = 500;
    SetScrollInfo(v.bar, SB_CTL, &info, TRUE);
    POINT thumb = ThumbMiddle(v.skin->Bar());

    // A click on the thumb without moving.
    ControlHost::Clear();
    MouseAt(v.bar, WM_LBUTTONDOWN, thumb.x, thumb.y);
    MouseAt(v.bar, WM_LBUTTONUP, thumb.x, thumb.y);
    // A move that keeps the thumb on its pixel may report, but never moves it.
    for (const kivtest::HostNote& note : ControlHost::Notes())
        CHECK(note.trackPos == 500);
    CHECK(ControlHost::ScrollCodes().back() == SB_ENDSCROLL);
    CHECK(CountOf(ControlHost::ScrollCodes(), SB_THUMBPOSITION) == 1);
    CHECK(GetScrollPos(v.bar, SB_CTL) == 500);

    // Dragged 40 pixels down, then 150+ to the side: back where it began.
    ControlHost::Clear();
    MouseAt(v.bar, WM_LBUTTONDOWN, thumb.x, thumb.y);
    MouseAt(v.bar, WM_MOUSEMOVE, thumb.x, thumb.y + 40);
    REQUIRE(!ControlHost::Notes().empty());
    CHECK(ControlHost::Notes().back().trackPos > 500);
    CHECK(GetScrollPos(v.bar, SB_CTL) != 500);
    MouseAt(v.bar, WM_MOUSEMOVE, thumb.x + 200, thumb.y + 40);
    CHECK(ControlHost::Notes().back().trackPos == 500);
    MouseAt(v.bar, WM_LBUTTONUP, thumb.x + 200, thumb.y + 40);
    CHECK(GetScrollPos(v.bar, SB_CTL) == 500);

    // Dragged to the end: every request is a THUMBTRACK, then one THUMBPOSITION.
    ControlHost::Clear();
    thumb = ThumbMiddle(v.skin->Bar());
    MouseAt(v.bar, WM_LBUTTONDOWN, thumb.x, thumb.y);
    for (int step = 20; step <= 300; step += 20)
        MouseAt(v.bar, WM_MOUSEMOVE, thumb.x, thumb.y + step);
    MouseAt(v.bar, WM_LBUTTONUP, thumb.x, thumb.y + 300);
    const std::vector<int> codes = ControlHost::ScrollCodes();
    REQUIRE(codes.size() >= 4);
    for (size_t i = 0; i + 2 < codes.size(); ++i)
        CHECK(codes[i] == SB_THUMBTRACK);
    CHECK(codes[codes.size() - 2] == SB_THUMBPOSITION);
    CHECK(codes.back() == SB_ENDSCROLL);
    const kivtest::HostNote last = ControlHost::Notes()[codes.size() - 2];
    CHECK(last.trackPos == 99000);
    CHECK(last.position == (99000 & 0xFFFF));
    CHECK(GetScrollPos(v.bar, SB_CTL) == 99000);
    CHECK(v.skin->Bar().Measure().thumbStart + v.skin->Bar().Measure().thumbLength == 200 - 18);
}

TEST_CASE("70,000 items: dragging the drawn thumb to the end shows the last item whole")
{
    kivtest::InstallControlSkin();
    ControlHost host;
    const HWND list = host.Control(L"LISTBOX", WS_VSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY, 20, 20,
                                   200, 150, kId, true);
    CKivListBox* skin = ControlHost::Skin<CKivListBox>(list);
    REQUIRE(skin != nullptr);
    const int count = 70000;
    SendMessageW(list, LB_INITSTORAGE, count, count * 8);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    wchar_t text[16] = {};
    for (int i = 0; i < count; ++i)
    {
        wsprintfW(text, L"item %d", i);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    kivtest::PumpPending();
    REQUIRE(SendMessageW(list, LB_GETCOUNT, 0, 0) == count);
    const RECT bar = skin->Bar().Bounds();
    RECT client{};
    GetClientRect(list, &client);
    REQUIRE(bar.left >= client.right);  // in the frame, where the control's own bar was
    REQUIRE(skin->Bar().HasThumb());

    // The drawn bar is on screen in the skin's colours.
    HDC screen = GetDC(nullptr);
    const POINT track = ToScreen(list, (bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2);
    CHECK(GetPixel(screen, track.x, track.y) == colours::kTrack);
    const POINT arrow = ToScreen(list, bar.left + 2, bar.top + 2);
    CHECK(GetPixel(screen, arrow.x, arrow.y) == colours::kBar);

    const POINT thumb = ThumbMiddle(skin->Bar());
    const POINT down = ToScreen(list, thumb.x, thumb.y);
    PlaceCursor(down);
    SendMessageW(list, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(down.x, down.y));
    CHECK(skin->Bar().PressedPart() == CKivDirectScrollBar::PartThumb);
    MouseAt(list, WM_MOUSEMOVE, thumb.x, thumb.y + 30);
    const LRESULT midway = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
    CHECK(midway > 0);
    MouseAt(list, WM_MOUSEMOVE, thumb.x, thumb.y + 600);
    MouseAt(list, WM_LBUTTONUP, thumb.x, thumb.y + 600);
    const int row = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    const int visible = client.bottom / row;
    CHECK(SendMessageW(list, LB_GETTOPINDEX, 0, 0) == count - visible);
    RECT lastRow{};
    CHECK(SendMessageW(list, LB_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&lastRow)) != LB_ERR);
    CHECK(lastRow.bottom <= client.bottom);
    // Pressing the bar picked no item, and the thumb rests at the end.
    CHECK(SendMessageW(list, LB_GETCURSEL, 0, 0) == LB_ERR);
    kivtest::PumpPending();
    const CKivDirectScrollBar::Layout layout = skin->Bar().Measure();
    CHECK(layout.thumbStart + layout.thumbLength == layout.arrow + layout.track);
    const POINT end = ToScreen(list, thumb.x, bar.top + layout.thumbStart + layout.thumbLength / 2);
    CHECK(GetPixel(screen, end.x, end.y) == colours::kBar);
    ReleaseDC(nullptr, screen);
    // The last item is drawn: its row has text on the list's background.
    kivtest::Canvas canvas(client.right, client.bottom, RGB(1, 2, 3));
    Print(list, canvas);
    int ink = 0;
    for (int y = lastRow.top; y < lastRow.bottom; ++y)
        for (int x = 0; x < 80; ++x)
            ink += canvas.Pixel(x, y) != colours::kListBackground ? 1 : 0;
    CHECK(ink > 5);
}

namespace {

SCROLLINFO Info(UINT mask, int minimum, int maximum, int page)
{
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = mask;
    info.nMin = minimum;
    info.nMax = maximum;
    info.nPage = static_cast<UINT>(page);
    return info;
}

}  // namespace

TEST_CASE("a redrawing SetScrollInfo enables and disables a visible bar as it does unskinned")
{
    kivtest::InstallControlSkin();
    ControlHost host;
    const HWND skinned = host.Control(L"SCROLLBAR", SBS_HORZ, 20, 20, 200, 20, kId, true);
    const HWND plain = host.Control(L"SCROLLBAR", SBS_HORZ, 20, 60, 200, 20, kId + 1, false);
    REQUIRE(ControlHost::Skin<CKivSysScrollBar>(skinned) != nullptr);
    REQUIRE(ControlHost::Skin<CKivSysScrollBar>(plain) == nullptr);
    struct Step
    {
        UINT mask;
        int min, max, page;
        BOOL redraw;
        int enableArrows;  // EnableScrollBar before the step, or -1
    };
    const UINT both = SIF_POS | SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
    const Step steps[] = {
        {both, 10, 100, 50, FALSE, ESB_DISABLE_BOTH},  // no redraw: the state stays
        {both, 10, 100, 50, TRUE, -1},                 // redraw with room to scroll: enabled
        {both, 10, 100, 100, TRUE, -1},                // nothing to scroll: disabled
        {both, 10, 100, 100, TRUE, ESB_ENABLE_BOTH},
        {both, 0, 41, 41, TRUE, ESB_DISABLE_BOTH},
        {SIF_PAGE, 0, 41, 10, TRUE, -1},               // a page alone enables nothing
        {SIF_RANGE | SIF_PAGE, 0, 100, 10, TRUE, ESB_DISABLE_LTUP},
        {SIF_POS, 0, 0, 0, TRUE, ESB_DISABLE_BOTH},
    };
    int index = 0;
    for (const Step& step : steps)
    {
        CAPTURE(index++);
        for (HWND bar : {skinned, plain})
        {
            if (step.enableArrows >= 0)
                EnableScrollBar(bar, SB_CTL, static_cast<UINT>(step.enableArrows));
            const SCROLLINFO info = Info(step.mask, step.min, step.max, step.page);
            SetScrollInfo(bar, SB_CTL, &info, step.redraw);
        }
        CHECK(IsWindowEnabled(skinned) == IsWindowEnabled(plain));
    }
    // A hidden bar keeps its state whatever it is told.
    ShowWindow(skinned, SW_HIDE);
    ShowWindow(plain, SW_HIDE);
    EnableWindow(skinned, TRUE);
    EnableWindow(plain, TRUE);
    const SCROLLINFO info = Info(both, 0, 10, 20);
    SetScrollInfo(skinned, SB_CTL, &info, TRUE);
    SetScrollInfo(plain, SB_CTL, &info, TRUE);
    CHECK(IsWindowEnabled(plain));
    CHECK(IsWindowEnabled(skinned));
}

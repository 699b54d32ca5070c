// The one way a control skin lets the control work while its drawing stays
// off the screen: what the control draws after announcing it with a colour
// message is muted only while a route for that control runs, the parent
// still sees the DC as the control prepared it, the route says whether the
// control drew, and the paint entry hands the skin the right DC and area.
#include <doctest.h>
#include "CKivCompatibleDC.h"
#include "CKivGdiObject.h"
#include "CKivPaintEntry.h"
#include "CKivPaintMute.h"
#include "CKivSelectObject.h"
#include "KivTestSupport.h"

namespace {

// Messages the probe control answers by drawing the way the system controls
// do: a window DC, announced to the parent with a colour message.
const UINT kDrawAfterStatic = WM_USER + 1;
const UINT kDrawAfterButton = WM_USER + 2;
const UINT kDrawAfterEdit = WM_USER + 3;
// A message that makes the probe route a nested message to itself.
const UINT kNestedDraw = WM_USER + 4;

struct Seen
{
    int parentClip = -1;  // clip box kind of the DC when the parent answered
    int controlClip = -1;  // the same once the parent had answered
    POINT controlOrigin{-1, -1};
};
Seen g_seen;

int ClipKind(HDC dc)
{
    RECT box{};
    return GetClipBox(dc, &box);
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
        g_seen.parentClip = ClipKind(reinterpret_cast<HDC>(wParam));
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

void DrawAfter(HWND control, UINT colourMessage)
{
    HDC dc = GetDC(control);
    SendMessageW(GetParent(control), colourMessage, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    g_seen.controlClip = ClipKind(dc);
    GetViewportOrgEx(dc, &g_seen.controlOrigin);
    ReleaseDC(control, dc);
}

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case kDrawAfterStatic: DrawAfter(window, WM_CTLCOLORSTATIC); return 1;
    case kDrawAfterButton: DrawAfter(window, WM_CTLCOLORBTN); return 2;
    case kDrawAfterEdit: DrawAfter(window, WM_CTLCOLOREDIT); return 3;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

struct Windows
{
    Windows()
    {
        parent =
            CreateWindowExW(0, kivtest::RegisterTestClass(L"KivMuteParent", &ParentProc), L"mute",
                            WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300, 200, nullptr, nullptr, nullptr, nullptr);
        probe = CreateWindowExW(0, kivtest::RegisterTestClass(L"KivMuteProbe", &ProbeProc), L"", WS_CHILD | WS_VISIBLE,
                                10, 10, 120, 40, parent, nullptr, nullptr, nullptr);
        kivtest::PumpPending();
    }
    ~Windows() { DestroyWindow(parent); }
    Windows(const Windows&) = delete;
    Windows& operator=(const Windows&) = delete;

    HWND parent = nullptr;
    HWND probe = nullptr;
};

// A memory DC with a bitmap: its clip box is the whole bitmap.
struct MemoryDC
{
    CKivCompatibleDC owner{nullptr};
    CKivBitmap bitmap{CreateBitmap(16, 16, 1, 32, nullptr)};
    CKivSelectObject selected{owner.Get(), bitmap.Get()};
    HDC dc = owner.Get();
};

LRESULT SendTo(HWND window, UINT message)
{
    return SendMessageW(window, message, 0, 0);
}

}  // namespace

TEST_CASE("a control whose colour messages go to its parent draws nothing while routed")
{
    Windows windows;
    REQUIRE(windows.probe != nullptr);

    SUBCASE("outside a route the control's drawing shows")
    {
        g_seen = Seen();
        SendTo(windows.probe, kDrawAfterStatic);
        CHECK(g_seen.controlClip == SIMPLEREGION);
        CHECK_FALSE(CKivPaintMute::IsMuted(windows.probe));
    }
    SUBCASE("inside a route the parent sees the DC as prepared, the control draws into an empty clip")
    {
        for (UINT message : {kDrawAfterStatic, kDrawAfterButton})
        {
            g_seen = Seen();
            bool painted = false;
            bool mutedMeanwhile = false;
            const LRESULT answer = CKivPaintMute::Route(
                windows.probe,
                [&] {
                    mutedMeanwhile = CKivPaintMute::IsMuted(windows.probe);
                    return SendTo(windows.probe, message);
                },
                &painted);
            CHECK(answer == static_cast<LRESULT>(message - WM_USER));
            CHECK(mutedMeanwhile);
            CHECK(painted);
            CHECK(g_seen.parentClip == SIMPLEREGION);
            CHECK(g_seen.controlClip == NULLREGION);
            CHECK_FALSE(CKivPaintMute::IsMuted(windows.probe));
        }
    }
    SUBCASE("a message without drawing, or with a colour message not watched, is not a drawing")
    {
        bool painted = true;
        CKivPaintMute::Route(
            windows.probe, [&] { return SendTo(windows.probe, WM_NULL); }, &painted);
        CHECK_FALSE(painted);
        g_seen = Seen();
        painted = true;
        CKivPaintMute::Route(
            windows.probe, [&] { return SendTo(windows.probe, kDrawAfterEdit); }, &painted);
        CHECK_FALSE(painted);
        CHECK(g_seen.controlClip == SIMPLEREGION);
    }
    SUBCASE("only the routed control is muted")
    {
        HWND other = CreateWindowExW(0, L"KivMuteProbe", L"", WS_CHILD | WS_VISIBLE, 10, 60, 120, 40, windows.parent,
                                     nullptr, nullptr, nullptr);
        REQUIRE(other != nullptr);
        g_seen = Seen();
        bool painted = true;
        CKivPaintMute::Route(
            windows.probe, [&] { return SendTo(other, kDrawAfterStatic); }, &painted);
        CHECK_FALSE(painted);
        CHECK(g_seen.controlClip == SIMPLEREGION);
        DestroyWindow(other);
    }
    SUBCASE("a nested route of the same control: both see the drawing, the outer stays muted after the inner")
    {
        bool outerPainted = false;
        bool innerPainted = false;
        bool mutedAfterInner = false;
        CKivPaintMute::Route(
            windows.probe,
            [&] {
                CKivPaintMute::Route(
                    windows.probe, [&] { return SendTo(windows.probe, kDrawAfterStatic); }, &innerPainted);
                mutedAfterInner = CKivPaintMute::IsMuted(windows.probe);
                g_seen = Seen();
                return SendTo(windows.probe, kDrawAfterStatic);
            },
            &outerPainted);
        CHECK(innerPainted);
        CHECK(outerPainted);
        CHECK(mutedAfterInner);
        CHECK(g_seen.controlClip == NULLREGION);
        CHECK_FALSE(CKivPaintMute::IsMuted(windows.probe));
    }
}

TEST_CASE("a system check box routed through the mute reports its state drawing and keeps its clip region")
{
    Windows windows;
    HWND box = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 10, 60, 120, 24,
                               windows.parent, nullptr, nullptr, nullptr);
    REQUIRE(box != nullptr);
    kivtest::PumpPending();
    bool painted = false;
    CKivPaintMute::Route(
        box, [&] { return SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0); }, &painted);
    CHECK(painted);
    CHECK(SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED);
    // Nothing changes: nothing drawn.
    painted = true;
    CKivPaintMute::Route(
        box, [&] { return SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0); }, &painted);
    CHECK_FALSE(painted);
    DestroyWindow(box);
}

TEST_CASE("a control whose colour messages reach its skin is muted by the skin, only inside a route")
{
    Windows windows;
    MemoryDC memory;
    REQUIRE(memory.dc != nullptr);
    const CKivPaintMute::Heard bySkin = CKivPaintMute::Heard::BySkin;

    SUBCASE("outside a route nothing is muted")
    {
        CHECK_FALSE(CKivPaintMute::Silence(windows.probe, memory.dc));
        CHECK(ClipKind(memory.dc) == SIMPLEREGION);
    }
    SUBCASE("inside a route the DC is muted and counted, for that control only")
    {
        bool silenced = false;
        bool otherSilenced = true;
        bool painted = false;
        MemoryDC other;
        const HDC otherDc = other.dc;
        CKivPaintMute::Route(
            windows.probe,
            [&] {
                otherSilenced = CKivPaintMute::Silence(windows.parent, otherDc);
                silenced = CKivPaintMute::Silence(windows.probe, memory.dc);
                return 0;
            },
            &painted, bySkin);
        CHECK(silenced);
        CHECK_FALSE(otherSilenced);
        CHECK(painted);
        CHECK(ClipKind(memory.dc) == NULLREGION);
        CHECK(ClipKind(otherDc) == SIMPLEREGION);
    }
    SUBCASE("a null DC is not a drawing")
    {
        bool painted = true;
        CKivPaintMute::Route(
            windows.probe, [&] { return static_cast<LRESULT>(CKivPaintMute::Silence(windows.probe, nullptr)); },
            &painted, bySkin);
        CHECK_FALSE(painted);
    }
    SUBCASE("the colour messages to the parent are left alone")
    {
        g_seen = Seen();
        bool painted = true;
        CKivPaintMute::Route(
            windows.probe, [&] { return SendTo(windows.probe, kDrawAfterStatic); }, &painted, bySkin);
        CHECK_FALSE(painted);
        CHECK(g_seen.controlClip == SIMPLEREGION);
    }
    SUBCASE("nested routes: each sees only its own drawings, the outer's from before and after the inner")
    {
        MemoryDC second;
        bool outer = true;
        bool inner = false;
        bool quiet = true;
        CKivPaintMute::Route(
            windows.probe,
            [&] {
                CKivPaintMute::Route(
                    windows.probe,
                    [&] { return static_cast<LRESULT>(CKivPaintMute::Silence(windows.probe, memory.dc)); }, &inner,
                    bySkin);
                CKivPaintMute::Route(
                    windows.probe, [] { return LRESULT(0); }, &quiet, bySkin);
                return LRESULT(0);
            },
            &outer, bySkin);
        CHECK(inner);
        CHECK_FALSE(outer);
        CHECK_FALSE(quiet);

        bool drewBefore = false;
        bool drewAfter = false;
        CKivPaintMute::Route(
            windows.probe,
            [&] {
                CKivPaintMute::Silence(windows.probe, memory.dc);
                CKivPaintMute::Route(
                    windows.probe, [] { return LRESULT(0); }, &quiet, bySkin);
                return LRESULT(0);
            },
            &drewBefore, bySkin);
        CKivPaintMute::Route(
            windows.probe,
            [&] {
                CKivPaintMute::Route(
                    windows.probe, [] { return LRESULT(0); }, &quiet, bySkin);
                return static_cast<LRESULT>(CKivPaintMute::Silence(windows.probe, second.dc));
            },
            &drewAfter, bySkin);
        CHECK(drewBefore);
        CHECK(drewAfter);
        CHECK_FALSE(quiet);
        CHECK_FALSE(CKivPaintMute::IsMuted(windows.probe));
        CHECK_FALSE(CKivPaintMute::Silence(windows.probe, memory.dc));
    }
}

TEST_CASE("a DC handed to the control is muted for that one message and restored after")
{
    MemoryDC memory;
    REQUIRE(memory.dc != nullptr);
    SetTextColor(memory.dc, RGB(1, 2, 3));
    int during = -1;
    const LRESULT answer = CKivPaintMute::RouteOn(memory.dc, [&] {
        during = ClipKind(memory.dc);
        SetTextColor(memory.dc, RGB(9, 9, 9));
        return LRESULT(7);
    });
    CHECK(answer == 7);
    CHECK(during == NULLREGION);
    CHECK(ClipKind(memory.dc) == SIMPLEREGION);
    CHECK(GetTextColor(memory.dc) == RGB(1, 2, 3));
    // Without a DC the message still goes on.
    CHECK(CKivPaintMute::RouteOn(nullptr, [] { return LRESULT(5); }) == 5);
}

namespace {

struct AreaProbe
{
    HDC dc = nullptr;
    RECT area{-1, -1, -1, -1};
    int calls = 0;
};
AreaProbe g_area;

LRESULT CALLBACK AreaProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT && message != WM_PRINTCLIENT)
        return DefWindowProcW(window, message, wParam, lParam);
    CKivPaintEntry::PaintArea(window, reinterpret_cast<HDC>(wParam), [](HDC dc, const RECT& area) {
        g_area.dc = dc;
        g_area.area = area;
        ++g_area.calls;
    });
    return 0;
}

}  // namespace

TEST_CASE("the paint entry hands the skin the given DC and the client area, or the paint cycle's area")
{
    HWND window = CreateWindowExW(0, kivtest::RegisterTestClass(L"KivAreaProbe", &AreaProc), L"area",
                                  WS_POPUP | WS_VISIBLE, 50, 50, 200, 100, nullptr, nullptr, nullptr, nullptr);
    REQUIRE(window != nullptr);
    kivtest::PumpPending();
    MemoryDC memory;

    g_area = AreaProbe();
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.dc), PRF_CLIENT);
    CHECK(g_area.calls == 1);
    CHECK(g_area.dc == memory.dc);
    CHECK(g_area.area.left == 0);
    CHECK(g_area.area.top == 0);
    CHECK(g_area.area.right == 200);
    CHECK(g_area.area.bottom == 100);

    g_area = AreaProbe();
    ValidateRect(window, nullptr);
    const RECT dirty{30, 20, 70, 45};
    InvalidateRect(window, &dirty, FALSE);
    UpdateWindow(window);
    CHECK(g_area.calls == 1);
    CHECK(g_area.dc != memory.dc);
    CHECK(g_area.area.left == dirty.left);
    CHECK(g_area.area.top == dirty.top);
    CHECK(g_area.area.right == dirty.right);
    CHECK(g_area.area.bottom == dirty.bottom);
    CHECK_FALSE(GetUpdateRect(window, nullptr, FALSE));

    g_area = AreaProbe();
    CHECK_FALSE(CKivPaintEntry::PaintArea(nullptr, nullptr, [](HDC, const RECT&) { ++g_area.calls; }));
    CHECK(g_area.calls == 0);
    DestroyWindow(window);
}

// The skinned frame on real windows: geometry, pixels, hit-testing, caption
// buttons, system menu, icon click and client background.
#include <doctest.h>
#include "CKivEngine.h"
#include "CKivFrameWnd.h"
#include "CKivFrameZones.h"
#include "CKivGraphics.h"
#include "CKivSkinStore.h"
#include "KivFrameTestHost.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <cstring>
#include <commctrl.h>
#include <tlhelp32.h>

using frametest::SkinnedFrame;
using kivtest::Canvas;
namespace skin = kivtest::skin;

namespace {

COLORREF Slot(int slot)
{
    return skin::SlotColour(slot);
}

// The whole window rendered through WM_PRINT.
struct Printed
{
    explicit Printed(SkinnedFrame& frame) : canvas(frame.Width(), frame.Height(), RGB(1, 2, 3))
    {
        kivtest::PrintWindowTo(frame.Window(), canvas);
    }
    COLORREF operator()(int x, int y) const { return canvas.Pixel(x, y); }
    Canvas canvas;
};

bool Same(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

KivSkinSettings& Settings()
{
    return CKivSkinStore::Settings();
}

const COLORREF kOutline = RGB(0xA0, 0xA0, 0xA0);

int ThreadsOfThisProcess()
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId() ? 1 : 0;
    CloseHandle(snapshot);
    return count;
}

}  // namespace

TEST_CASE("frame geometry follows the window's style")
{
    skin::Install();
    SUBCASE("sizable window with configured borders")
    {
        SkinnedFrame f(WS_OVERLAPPEDWINDOW, 300, 200);
        const KivFrameMetrics& m = *f.Frame().Metrics();
        CHECK(m.borderLeft == 4);
        CHECK(m.borderTop == 4);
        CHECK(m.borderRight == 4);
        CHECK(m.borderBottom == 4);
        CHECK(m.captionHeight == 30);
        CHECK(m.menuBarHeight == 0);
        CHECK(Same(m.captionRect, {4, 4, 296, 34}));
        CHECK(Same(m.rightBorderRect, {296, 0, 300, 200}));
        CHECK(Same(m.bottomBorderRect, {4, 196, 296, 200}));
        CHECK(m.closeButton.x == 272);
        CHECK(m.closeButton.y == 10);
        CHECK(m.closeButton.width == 20);
        CHECK(m.closeButton.height == 18);
        CHECK(m.maxButton.x == 250);
        CHECK(m.minButton.x == 228);
        // The window keeps its outer size; the client area is what the skin leaves.
        CHECK(f.Width() == 300);
        CHECK(f.Height() == 200);
        CHECK(f.ClientOrigin().x == 4);
        CHECK(f.ClientOrigin().y == 34);
        RECT client = {};
        GetClientRect(f.Window(), &client);
        CHECK(client.right == 292);
        CHECK(client.bottom == 162);

        // Resizing recomputes everything from the new rectangle.
        SetWindowPos(f.Window(), nullptr, 0, 0, 400, 260, SWP_NOMOVE | SWP_NOZORDER);
        kivtest::PumpPending();
        CHECK(f.Frame().Metrics()->closeButton.x == 372);
        CHECK(f.Frame().Metrics()->bottomBorderRect.top == 256);
        GetClientRect(f.Window(), &client);
        CHECK(client.right == 392);
        CHECK(client.bottom == 222);
    }
    SUBCASE("unset widths take the system frame width")
    {
        Settings().borderLeftWidth = 0;
        Settings().borderBottomWidth = 0;
        HWND probe = frametest::CreateHost(WS_OVERLAPPEDWINDOW, 0, 0, 200, 150);
        POINT corner = {0, 0};
        RECT r = {};
        GetWindowRect(probe, &r);
        ClientToScreen(probe, &corner);
        const int systemFrame = corner.x - r.left;
        DestroyWindow(probe);
        SkinnedFrame f(WS_OVERLAPPEDWINDOW, 300, 200);
        CHECK(f.Frame().Metrics()->borderLeft == systemFrame);
        CHECK(f.Frame().Metrics()->borderBottom == systemFrame);
        CHECK(f.Frame().Metrics()->borderTop == 4);
        CHECK(f.ClientOrigin().x == systemFrame);
    }
    SUBCASE("a dialog without a sizing frame has no borders")
    {
        SkinnedFrame f(WS_POPUP | WS_CAPTION | WS_SYSMENU, 300, 200);
        const KivFrameMetrics& m = *f.Frame().Metrics();
        CHECK(m.borderLeft == 0);
        CHECK(m.borderTop == 0);
        CHECK(Same(m.captionRect, {0, 0, 300, 30}));
        CHECK(f.ClientOrigin().x == 0);
        CHECK(f.ClientOrigin().y == 30);
        CHECK(m.maxButton.width == 0);  // no box styles: only the close button exists
    }
    SUBCASE("size control leaves the sizing to the shadow")
    {
        Settings().edgeEnableSizeCtl = 1;
        SkinnedFrame f(WS_OVERLAPPEDWINDOW, 300, 200);
        CHECK(f.Frame().Metrics()->borderLeft == 0);
        CHECK(f.Frame().Metrics()->borderBottom == 0);
        CHECK(f.ClientOrigin().y == 30);
        Printed p(f);
        CHECK(p(0, 100) != kOutline);  // no outline either
    }
    SUBCASE("a maximised window uses its own style's frame width everywhere")
    {
        SkinnedFrame f(WS_OVERLAPPEDWINDOW, 300, 200);
        ShowWindow(f.Window(), SW_MAXIMIZE);
        kivtest::PumpPending();
        REQUIRE(IsZoomed(f.Window()));
        RECT adjusted = {0, 0, 0, 0};
        AdjustWindowRectEx(&adjusted, WS_OVERLAPPEDWINDOW, FALSE, 0);
        const int first = CKivWindowHelper::GetStyleFrameWidth(f.Window());
        CHECK(first == -adjusted.left);
        CHECK(first > 0);
        CHECK(f.Frame().Metrics()->borderLeft == first);
        CHECK(f.Frame().Metrics()->borderBottom == first);
        CHECK(f.ClientOrigin().x == first);
        // The region is shortened by the bottom border.
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        REQUIRE(GetWindowRgn(f.Window(), region) != ERROR);
        RECT box = {};
        GetRgnBox(region, &box);
        RECT window = {};
        GetWindowRect(f.Window(), &window);
        RECT normal = window;
        CKivWindowHelper().NormalizeWindowRect(f.Window(), &normal);
        CHECK(normal.bottom == window.bottom - window.top);
        CHECK(box.bottom == (window.bottom - window.top) - first);
        DeleteObject(region);
    }
    SUBCASE("a menu adds the menu bar height above the client area")
    {
        Settings().menuBarHeight = 22;
        HMENU menu = CreateMenu();
        AppendMenuW(menu, MF_STRING, 100, L"&File");
        SkinnedFrame f(WS_OVERLAPPEDWINDOW, 300, 200, true, menu);
        CHECK(f.Frame().Metrics()->menuBarHeight == 22);
        CHECK(f.ClientOrigin().y == 4 + 30 + 22);
        CHECK(f.HitTest(100, 4 + 30 + 5) == HTMENU);
    }
    skin::Install();
}

TEST_CASE("attaching keeps the client size and moves the client below the skinned caption")
{
    skin::Install();
    HWND window = frametest::CreateHost(WS_OVERLAPPEDWINDOW, 40, 40, 320, 240);
    RECT before = {};
    GetClientRect(window, &before);
    CKivFrameWnd frame;
    REQUIRE(frame.Attach(window));
    CHECK_FALSE(frame.Attach(window));
    RECT after = {};
    GetClientRect(window, &after);
    CHECK(after.right == before.right);
    CHECK(after.bottom == before.bottom);
    RECT outer = {};
    GetWindowRect(window, &outer);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    CHECK(origin.x - outer.left == 4);
    CHECK(origin.y - outer.top == 34);
    CHECK(outer.right - outer.left == after.right + 8);
    CHECK(outer.bottom - outer.top == after.bottom + 38);
    CHECK(frame.Detach());
    DestroyWindow(window);
}

TEST_CASE("frame pixels: caption, borders, buttons and outline, active and inactive")
{
    skin::Install();
    SkinnedFrame f(WS_OVERLAPPEDWINDOW, 300, 200);
    SendMessageW(f.Window(), WM_ACTIVATE, WA_ACTIVE, 0);
    CHECK(f.Frame().ActiveState() == 1);
    {
        Printed p(f);
        CHECK(p(200, 6) == Slot(skin::CaptionActive));
        CHECK(p(6, 6) == Slot(skin::CaptionActive));
        CHECK(p(2, 100) == Slot(skin::BorderLeftActive));
        CHECK(p(100, 2) == Slot(skin::BorderTopActive));
        CHECK(p(297, 100) == Slot(skin::BorderRightActive));
        CHECK(p(100, 197) == Slot(skin::BorderBottomActive));
        CHECK(p(282, 19) == Slot(skin::CloseDefault));
        CHECK(p(260, 19) == Slot(skin::MaxDefault));
        CHECK(p(238, 19) == Slot(skin::MinDefault));
        CHECK(p(249, 19) == Slot(skin::CaptionActive));  // gap between buttons: the strip's caption
        CHECK(p(0, 100) == kOutline);
        CHECK(p(100, 0) == kOutline);
        CHECK(p(100, 199) == kOutline);
        CHECK(p(299, 100) == kOutline);
    }
    SendMessageW(f.Window(), WM_ACTIVATE, WA_INACTIVE, 0);
    CHECK(f.Frame().ActiveState() == 0);
    {
        Printed p(f);
        CHECK(p(200, 6) == Slot(skin::CaptionDefault));
        CHECK(p(2, 100) == Slot(skin::BorderLeftDefault));
        CHECK(p(100, 197) == Slot(skin::BorderBottomDefault));
        CHECK(p(282, 19) == Slot(skin::CloseDefault));
        CHECK(p(240, 30) == Slot(skin::CaptionDefault));
    }
    // The system's own activation painting is refused.
    CHECK(SendMessageW(f.Window(), WM_NCACTIVATE, TRUE, 0) == TRUE);
    CHECK(SendMessageW(f.Window(), WM_CTLCOLORBTN, 0, 0) == reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)));

    SUBCASE("unset border pictures are filled white when active, grey when inactive")
    {
        Settings().borderLeftActiveBmp = RECT{};
        Settings().borderLeftDefaultBmp = RECT{};
        SendMessageW(f.Window(), WM_ACTIVATE, WA_ACTIVE, 0);
        CHECK(Printed(f)(2, 100) == RGB(255, 255, 255));
        SendMessageW(f.Window(), WM_ACTIVATE, WA_INACTIVE, 0);
        CHECK(Printed(f)(2, 100) == RGB(0xB4, 0xB4, 0xB4));
    }
    SUBCASE("a long title is cut at the caption's edge, under the button strip")
    {
        SetWindowTextW(f.Window(), L"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
        Printed p(f);
        int textInCaption = 0, textInStrip = 0;
        for (int y = 4; y < 34; ++y)
        {
            for (int x = 30; x < 228; ++x)
                textInCaption += p(x, y) == RGB(0, 0, 0);
            for (int x = 228; x < 296; ++x)
                textInStrip += p(x, y) == RGB(0, 0, 0);
        }
        CHECK(textInCaption > 50);
        CHECK(textInStrip == 0);
    }
    skin::Install();
}

TEST_CASE("caption buttons depend on the box styles")
{
    skin::Install();
    SUBCASE("only the minimise box: the maximise button is drawn disabled")
    {
        SkinnedFrame f(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX, 300, 200);
        Printed p(f);
        CHECK(p(260, 19) == Slot(skin::MaxDisable));
        CHECK(p(238, 19) == Slot(skin::MinDefault));
        // Pressing and releasing it does nothing.
        frametest::ModalGuard guard;
        REQUIRE(frametest::MoveCursor(f.Screen(260, 19)));
        SendMessageW(f.Window(), WM_NCLBUTTONDOWN, HTCAPTION, f.ScreenParam(260, 19));
        SendMessageW(f.Window(), WM_LBUTTONUP, 0, 0);
        kivtest::PumpPending();
        CHECK_FALSE(IsZoomed(f.Window()));
        CHECK(f.Frame().Pressed() == 0);
    }
    SUBCASE("no box: only the close button")
    {
        SkinnedFrame f(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, 300, 200);
        Printed p(f);
        CHECK(p(282, 19) == Slot(skin::CloseDefault));
        CHECK(p(260, 19) == Slot(skin::CaptionActive));
        CHECK(p(238, 19) == Slot(skin::CaptionActive));
    }
}

TEST_CASE("hit-testing by zones")
{
    skin::Install();
    Settings().captionBarIconX = 2;
    Settings().captionBarIconY = 3;
    Settings().captionBarIconWidth = 16;
    Settings().captionBarIconHeight = 16;
    SUBCASE("sizable window")
    {
        SkinnedFrame f(WS_OVERLAPPEDWINDOW, 300, 200);
        // Corners reach C pixels along each edge.
        CHECK(f.HitTest(0, 0) == HTTOPLEFT);
        // Edges are tried before corners: the left edge starts at C + T.
        CHECK(f.HitTest(0, 33) == HTTOPLEFT);
        CHECK(f.HitTest(0, 34) == HTLEFT);
        CHECK(f.HitTest(33, 0) == HTTOPLEFT);
        CHECK(f.HitTest(34, 0) == HTTOP);
        CHECK(f.HitTest(296 - 30, 0) == HTTOP);
        CHECK(f.HitTest(296 - 29, 1) == HTTOPRIGHT);
        CHECK(f.HitTest(299, 100) == HTRIGHT);
        CHECK(f.HitTest(299, 199) == HTBOTTOMRIGHT);
        CHECK(f.HitTest(299, 167) == HTBOTTOMRIGHT);
        CHECK(f.HitTest(299, 166) == HTRIGHT);
        CHECK(f.HitTest(0, 199) == HTBOTTOMLEFT);
        CHECK(f.HitTest(150, 199) == HTBOTTOM);
        CHECK(f.HitTest(150, 20) == HTCAPTION);
        CHECK(f.HitTest(282, 19) == HTCAPTION);  // buttons live in the caption zone
        CHECK(f.HitTest(150, 100) == HTCLIENT);
        // The icon at (IconX + L, IconY + T) with its edges.
        CHECK(f.HitTest(6, 7) == HTSYSMENU);
        CHECK(f.HitTest(22, 23) == HTSYSMENU);
        CHECK(f.HitTest(23, 23) == HTCAPTION);
        // Outside the window the system answers.
        CHECK(f.HitTest(-20, -20) == HTNOWHERE);
    }
    SUBCASE("a dialog without sizing frame answers nothing on its edges")
    {
        SkinnedFrame f(WS_POPUP | WS_CAPTION | WS_SYSMENU, 300, 200);
        CHECK(f.HitTest(0, 100) == HTNOWHERE);
        CHECK(f.HitTest(0, 5) == HTNOWHERE);
        CHECK(f.HitTest(150, 0) == HTNOWHERE);
        CHECK(f.HitTest(299, 5) == HTCAPTION);
        CHECK(f.HitTest(150, 15) == HTCAPTION);
        CHECK(f.HitTest(150, 100) == HTCLIENT);
    }
    SUBCASE("a maximised window cannot be sized")
    {
        SkinnedFrame f(WS_OVERLAPPEDWINDOW, 300, 200);
        ShowWindow(f.Window(), SW_MAXIMIZE);
        kivtest::PumpPending();
        const int b = f.Frame().Metrics()->borderLeft;
        CHECK(f.HitTest(0, 100) == HTNOWHERE);
        CHECK(f.HitTest(b + 50, b + 10) == HTCAPTION);
    }
    skin::Install();
}

TEST_CASE("caption buttons: hot, pressed, dragged off and back, released")
{
    skin::Install();
    SkinnedFrame f(WS_OVERLAPPEDWINDOW, 300, 200);
    frametest::ResetLog();
    frametest::ModalGuard guard;
    const POINT close = f.Screen(282, 19);
    const POINT away = f.Screen(150, 100);
    const auto screenIs = [&](POINT p, int slot) {
        return kivtest::PumpUntil([&] { return frametest::ScreenPixel(p) == Slot(slot); }, 2000);
    };

    REQUIRE(frametest::MoveCursor(close));
    SendMessageW(f.Window(), WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(close.x, close.y));
    CHECK(screenIs(close, skin::CloseHot));
    // The pointer leaves first, so no real mouse move over the button makes it hot again.
    REQUIRE(frametest::MoveCursor(away));
    kivtest::PumpPending();
    SendMessageW(f.Window(), WM_NCMOUSELEAVE, 0, 0);
    CHECK(screenIs(close, skin::CloseDefault));
    REQUIRE(frametest::MoveCursor(close));

    SUBCASE("released on the button closes")
    {
        SendMessageW(f.Window(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(close.x, close.y));
        CHECK(f.Frame().Pressed() == 1);
        CHECK(f.Frame().PressedButton() == CKivFrameWnd::CloseButton);
        CHECK(GetCapture() == f.Window());
        CHECK(screenIs(close, skin::CloseSelected));
        // Off the button: back to default; on it again: pressed again.
        REQUIRE(frametest::MoveCursor(away));
        SendMessageW(f.Window(), WM_MOUSEMOVE, 0, 0);
        CHECK(screenIs(close, skin::CloseDefault));
        REQUIRE(frametest::MoveCursor(close));
        SendMessageW(f.Window(), WM_MOUSEMOVE, 0, 0);
        CHECK(screenIs(close, skin::CloseSelected));
        SendMessageW(f.Window(), WM_LBUTTONUP, 0, 0);
        CHECK(GetCapture() != f.Window());
        CHECK(kivtest::PumpUntil([] { return frametest::Log().closes == 1; }, 2000));
    }
    SUBCASE("released off the button does nothing")
    {
        SendMessageW(f.Window(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(close.x, close.y));
        REQUIRE(frametest::MoveCursor(away));
        SendMessageW(f.Window(), WM_MOUSEMOVE, 0, 0);
        SendMessageW(f.Window(), WM_LBUTTONUP, 0, 0);
        kivtest::PumpPending();
        CHECK(f.Frame().Pressed() == 0);
        CHECK(frametest::Log().closes == 0);
        // A release over the button without a press on it does nothing either.
        SendMessageW(f.Window(), WM_NCLBUTTONUP, HTCAPTION, MAKELPARAM(close.x, close.y));
        kivtest::PumpPending();
        CHECK(frametest::Log().closes == 0);
    }
    SUBCASE("maximise, restore and minimise")
    {
        const auto click = [&](int x, int y) {
            const POINT p = f.Screen(x, y);
            REQUIRE(frametest::MoveCursor(p));
            SendMessageW(f.Window(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(p.x, p.y));
            SendMessageW(f.Window(), WM_LBUTTONUP, 0, 0);
        };
        click(260, 19);
        CHECK(kivtest::PumpUntil([&] { return IsZoomed(f.Window()) != FALSE; }, 2000));
        // Maximised, the button shows the restore picture.
        const KivButtonBox box = f.Frame().Metrics()->maxButton;
        CHECK(Printed(f)(box.x + 10, box.y + 9) == Slot(skin::RestoreDefault));
        click(box.x + 10, box.y + 9);
        CHECK(kivtest::PumpUntil([&] { return !IsZoomed(f.Window()); }, 2000));
        click(238, 19);
        CHECK(kivtest::PumpUntil([&] { return IsIconic(f.Window()) != FALSE; }, 2000));
    }
    CHECK_FALSE(guard.Fired());
}

TEST_CASE("frame zones: borders before corners' pieces, caption, menu bar and client; sizing codes only when sizable")
{
    // A 300 x 200 frame: borders 4 (left, top, right) and 5 (bottom), caption 30, menu bar 20.
    KivFrameMetrics m = {};
    m.borderLeft = 4;
    m.borderTop = 4;
    m.borderRight = 4;
    m.borderBottom = 5;
    m.captionHeight = 30;
    m.menuBarHeight = 20;
    m.rightBorderRect = RECT{296, 0, 300, 200};
    m.leftBorderRect = RECT{0, 0, 4, 200};
    struct Probe
    {
        POINT p;
        LRESULT sizable;
        int zone;
    };
    const Probe probes[] = {
        {{0, 100}, HTLEFT, 1},         {{150, 0}, HTTOP, 2},         {{299, 100}, HTRIGHT, 3},
        {{150, 199}, HTBOTTOM, 4},     {{0, 0}, HTTOPLEFT, 5},       {{20, 0}, HTTOPLEFT, 6},
        {{0, 190}, HTBOTTOMLEFT, 7},   {{20, 199}, HTBOTTOMLEFT, 8}, {{280, 0}, HTTOPRIGHT, 9},
        {{299, 10}, HTTOPRIGHT, 10},   {{299, 190}, HTBOTTOMRIGHT, 11}, {{280, 199}, HTBOTTOMRIGHT, 12},
        {{150, 20}, HTCAPTION, 13},    {{150, 100}, HTCLIENT, 14},   {{150, 40}, HTMENU, 15},
    };
    for (const Probe& probe : probes)
    {
        CAPTURE(probe.zone);
        int zone = -1;
        CHECK(CKivFrameZones::HitTest(m, probe.p, true, &zone) == probe.sizable);
        CHECK(zone == probe.zone);
        // A frame that cannot be sized answers nothing on its borders, but
        // they still win over the caption and the client.
        CHECK(CKivFrameZones::HitTest(m, probe.p, false, &zone) == (probe.zone >= 13 ? probe.sizable : HTNOWHERE));
        RECT r = {};
        REQUIRE(CKivFrameZones::ZoneRect(m, probe.zone, &r));
        CHECK((probe.p.x >= r.left && probe.p.x <= r.right && probe.p.y >= r.top && probe.p.y <= r.bottom));
    }
    // Both edges of a zone belong to it: the caption ends on the menu bar's first row.
    RECT caption = {};
    REQUIRE(CKivFrameZones::ZoneRect(m, 13, &caption));
    CHECK(caption.bottom == 34);
    int zone = -1;
    CHECK(CKivFrameZones::HitTest(m, POINT{150, 34}, true, &zone) == HTCAPTION);
    // Without a menu bar its zone is one row that the caption already holds.
    m.menuBarHeight = 0;
    CHECK(CKivFrameZones::HitTest(m, POINT{150, 40}, true, &zone) == HTCLIENT);
    CHECK(CKivFrameZones::HitTest(m, POINT{400, 40}, true, &zone) == -1);
    CHECK(zone == 0);
    RECT unused = {};
    CHECK_FALSE(CKivFrameZones::ZoneRect(m, 0, &unused));
    CHECK_FALSE(CKivFrameZones::ZoneRect(m, 16, &unused));
    CHECK_FALSE(CKivFrameZones::ZoneRect(m, 1, nullptr));
}

TEST_CASE("system menu: enable table per window state")
{
    UINT s[5];
    const UINT off = MF_GRAYED | MF_DISABLED;
    CKivFrameWnd::SystemMenuStates(WS_OVERLAPPEDWINDOW, s);
    CHECK((s[0] == 0 && s[1] == 0 && s[2] == 0 && s[3] == 0 && s[4] == off));
    CKivFrameWnd::SystemMenuStates(WS_OVERLAPPEDWINDOW | WS_MAXIMIZE, s);
    CHECK((s[0] == off && s[1] == off && s[2] == off && s[3] == 0 && s[4] == 0));
    CKivFrameWnd::SystemMenuStates(WS_OVERLAPPEDWINDOW | WS_MINIMIZE, s);
    CHECK((s[0] == off && s[1] == off && s[2] == 0 && s[3] == off && s[4] == 0));
    CKivFrameWnd::SystemMenuStates(WS_CAPTION | WS_MAXIMIZE, s);
    CHECK((s[2] == off && s[3] == off && s[4] == off));

    skin::Install();
    SkinnedFrame f(WS_OVERLAPPEDWINDOW, 300, 200);
    frametest::ResetLog();
    frametest::ModalGuard guard;
    SendMessageW(f.Window(), WM_NCRBUTTONUP, HTCAPTION, f.ScreenParam(150, 20));
    REQUIRE(frametest::Log().menuStatesRead);
    CHECK(frametest::Log().menuStates[0] == 0);
    CHECK(frametest::Log().menuStates[2] == 0);
    CHECK(frametest::Log().menuStates[4] != 0);

    ShowWindow(f.Window(), SW_MAXIMIZE);
    kivtest::PumpPending();
    frametest::ResetLog();
    SendMessageW(f.Window(), WM_NCRBUTTONUP, HTCAPTION, f.ScreenParam(150, 20));
    REQUIRE(frametest::Log().menuStatesRead);
    CHECK(frametest::Log().menuStates[0] != 0);
    CHECK(frametest::Log().menuStates[2] != 0);
    CHECK(frametest::Log().menuStates[3] == 0);
    CHECK(frametest::Log().menuStates[4] == 0);

    // Other hit codes open nothing.
    frametest::ResetLog();
    SendMessageW(f.Window(), WM_NCRBUTTONUP, HTBOTTOM, f.ScreenParam(150, 20));
    CHECK(frametest::Log().menuLoops == 0);
    CHECK_FALSE(guard.Fired());
}

TEST_CASE("icon: a single click opens the system menu after the double-click time, a double click does not")
{
    skin::Install();
    Settings().captionBarIconX = 2;
    Settings().captionBarIconY = 3;
    Settings().captionBarIconWidth = 16;
    Settings().captionBarIconHeight = 16;
    SkinnedFrame f(WS_OVERLAPPEDWINDOW, 300, 200);
    frametest::ModalGuard guard(8000);
    const POINT icon = f.Screen(12, 14);
    REQUIRE(frametest::MoveCursor(icon));

    frametest::ResetLog();
    const DWORD start = GetTickCount();
    SendMessageW(f.Window(), WM_NCLBUTTONDOWN, HTSYSMENU, MAKELPARAM(icon.x, icon.y));
    CHECK(frametest::Log().menuLoops == 0);  // not at once
    REQUIRE(kivtest::PumpUntil([] { return frametest::Log().menuStatesRead; }, 4000));
    CHECK(frametest::Log().menuOpenedAt - start + 20 >= GetDoubleClickTime());

    frametest::ResetLog();
    SendMessageW(f.Window(), WM_NCLBUTTONDOWN, HTSYSMENU, MAKELPARAM(icon.x, icon.y));
    SendMessageW(f.Window(), WM_NCLBUTTONDBLCLK, HTSYSMENU, MAKELPARAM(icon.x, icon.y));
    // Once the next click would start a fresh count, the double click has been judged.
    DWORD judged = GetTickCount() + GetDoubleClickTime() + 300;
    kivtest::PumpUntil([&] { return GetTickCount() > judged; }, GetDoubleClickTime() + 1000);
    CHECK(frametest::Log().menuLoops == 0);
    CHECK_FALSE(guard.Fired());
    skin::Install();
}

TEST_CASE("icon: the click is judged on the window's own thread; a frame destroyed meanwhile goes at once")
{
    skin::Install();
    const UINT doubleClick = GetDoubleClickTime();
    SetDoubleClickTime(1500);
    frametest::ModalGuard guard(8000);
    CKivEngine::Instance().Run();
    const HWND window = frametest::CreateHost(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 80, 80, 300, 200);
    CKivEngine::Instance().Stop();
    REQUIRE(dynamic_cast<CKivFrameWnd*>(CKivWnd::FromHandle(window)) != nullptr);
    kivtest::PumpPending();
    RECT rect = {};
    GetWindowRect(window, &rect);
    const POINT icon = {rect.left + 12, rect.top + 14};
    REQUIRE(frametest::MoveCursor(icon));
    frametest::ResetLog();

    const int threads = ThreadsOfThisProcess();
    REQUIRE(threads > 0);
    SendMessageW(window, WM_NCLBUTTONDOWN, HTSYSMENU, MAKELPARAM(icon.x, icon.y));
    CHECK(ThreadsOfThisProcess() == threads);

    // Nothing waits for the double-click time, and nothing reaches the dead window.
    const DWORD start = GetTickCount();
    DestroyWindow(window);
    CHECK(GetTickCount() - start < 700);
    const DWORD judged = GetTickCount() + 1800;
    kivtest::PumpUntil([&] { return GetTickCount() > judged; }, 2500);
    CHECK(frametest::Log().menuLoops == 0);
    CHECK_FALSE(guard.Fired());
    SetDoubleClickTime(doubleClick);
}

TEST_CASE("client background: the picture once at natural size, white elsewhere")
{
    skin::Install();
    Settings().edgeEnableBackground = 1;
    SkinnedFrame f(WS_OVERLAPPEDWINDOW, 300, 200);
    Printed p(f);
    const POINT o = f.ClientOrigin();
    CHECK(p(o.x, o.y) == skin::BackgroundColour(0, 0));
    CHECK(p(o.x + 63, o.y + 31) == skin::BackgroundColour(63, 31));
    CHECK(p(o.x + 17, o.y + 5) == skin::BackgroundColour(17, 5));
    CHECK(p(o.x + 64, o.y) == RGB(255, 255, 255));
    CHECK(p(o.x, o.y + 32) == RGB(255, 255, 255));
    CHECK(p(o.x + 200, o.y + 100) == RGB(255, 255, 255));

    Settings().edgeEnableBackground = 0;
    Settings().edgeEnableBackColor = 1;
    Settings().edgeBackgroundColor = RGB(9, 80, 9);
    Printed q(f);
    CHECK(q(o.x + 5, o.y + 5) == RGB(9, 80, 9));
    skin::Install();
}

namespace {

// A host that counts the erases it hears and, when asked, answers them itself.
struct EraseHost
{
    int erases = 0;
    bool ownErase = false;
};

EraseHost& Eraser()
{
    static EraseHost host;
    return host;
}

const COLORREF kHostErase = RGB(0, 200, 0);

LRESULT CALLBACK EraseHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND)
    {
        ++Eraser().erases;
        if (Eraser().ownErase)
        {
            RECT client = {};
            GetClientRect(window, &client);
            CKivBrush green(CreateSolidBrush(kHostErase));
            FillRect(reinterpret_cast<HDC>(wParam), &client, green);
            return 1;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

TEST_CASE("the host hears every erase of its client and may answer it itself")
{
    skin::Install();
    Settings().edgeEnableBackground = 0;
    Settings().edgeEnableBackColor = 1;
    Settings().edgeBackgroundColor = RGB(9, 80, 9);
    const HBRUSH classBrush = reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1);
    const wchar_t* name = kivtest::RegisterTestClass(L"KivEraseHost", &EraseHostProc, classBrush);
    const HWND window = CreateWindowExW(0, name, L"Erase", WS_OVERLAPPEDWINDOW, 40, 40, 300, 200, nullptr,
                                        nullptr, GetModuleHandleW(nullptr), nullptr);
    REQUIRE(window);
    SkinnedFrame f(window, 300, 200);
    Eraser() = EraseHost();
    Canvas canvas(300, 200, RGB(1, 2, 3));
    const auto erase = [&](HWND target) {
        return SendMessageW(target, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.DC()), 0);
    };

    SUBCASE("left to the system: the skin's background, the class brush kept")
    {
        CHECK(erase(window) == 1);
        CHECK(Eraser().erases == 1);
        CHECK(canvas.Pixel(5, 5) == RGB(9, 80, 9));
        CHECK(GetClassLongPtrW(window, GCLP_HBRBACKGROUND) == reinterpret_cast<ULONG_PTR>(classBrush));
    }
    SUBCASE("the host's own erase stands")
    {
        Eraser().ownErase = true;
        CHECK(erase(window) == 1);
        CHECK(Eraser().erases == 1);
        CHECK(canvas.Pixel(5, 5) == kHostErase);
    }
    SUBCASE("a skin without a background: the class brush, the host asked once")
    {
        Settings().edgeEnableBackColor = 0;
        CHECK(erase(window) == 1);
        CHECK(Eraser().erases == 1);
        CHECK(canvas.Pixel(5, 5) == GetSysColor(COLOR_HIGHLIGHT));
    }
    SUBCASE("a list view without a background colour forwards its erase to the host")
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        const HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 100, 80,
                                          window, nullptr, GetModuleHandleW(nullptr), nullptr);
        REQUIRE(list);
        SendMessageW(list, LVM_SETBKCOLOR, 0, CLR_NONE);
        Eraser() = EraseHost();
        erase(list);
        CHECK(Eraser().erases == 1);
        SendMessageW(list, LVM_SETBKCOLOR, 0, RGB(255, 255, 255));
        erase(list);
        CHECK(Eraser().erases == 1);
    }
    skin::Install();
}

TEST_CASE("window region, show and text messages, minimum tracking size")
{
    skin::Install();
    SUBCASE("round top corners")
    {
        Settings().edgeEnableRound = 1;
        SkinnedFrame f(WS_OVERLAPPEDWINDOW, 300, 200);
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        REQUIRE(GetWindowRgn(f.Window(), region) != ERROR);
        CHECK_FALSE(PtInRegion(region, 0, 0));
        CHECK_FALSE(PtInRegion(region, 299, 0));
        CHECK(PtInRegion(region, 150, 0));
        CHECK(PtInRegion(region, 0, 199));
        CHECK(PtInRegion(region, 299, 199));
        DeleteObject(region);
    }
    SUBCASE("square region without rounding")
    {
        SkinnedFrame f(WS_OVERLAPPEDWINDOW, 300, 200);
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        REQUIRE(GetWindowRgn(f.Window(), region) != ERROR);
        CHECK(PtInRegion(region, 0, 0));
        CHECK(PtInRegion(region, 299, 199));
        CHECK_FALSE(PtInRegion(region, 300, 100));
        DeleteObject(region);
    }
    SUBCASE("a new title reaches the screen at once")
    {
        SkinnedFrame f(WS_OVERLAPPEDWINDOW, 300, 200);
        // Text pixels: anything but the flat caption picture where the title goes.
        const auto textInCaption = [&] {
            int count = 0;
            HDC screen = GetDC(nullptr);
            for (int y = 8; y < 30; y += 2)
                for (int x = 30; x < 220; x += 2)
                {
                    const POINT p = f.Screen(x, y);
                    count += GetPixel(screen, p.x, p.y) != Slot(skin::CaptionActive);
                }
            ReleaseDC(nullptr, screen);
            return count;
        };
        // The screen shows the window's picture after Wine flushes it: poll.
        SendMessageW(f.Window(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        CHECK(kivtest::PumpUntil([&] { return textInCaption() == 0; }, 2000));
        SendMessageW(f.Window(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"WWWWWWWWWWWW"));
        CHECK(kivtest::PumpUntil([&] { return textInCaption() > 20; }, 2000));
    }
    SUBCASE("showing removes the system menu style; min tracking covers the caption")
    {
        SkinnedFrame f(WS_OVERLAPPEDWINDOW, 300, 200);
        CHECK((GetWindowLongPtrW(f.Window(), GWL_STYLE) & WS_SYSMENU) == 0);
        MINMAXINFO info = {};
        info.ptMinTrackSize = POINT{1, 1};
        SendMessageW(f.Window(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        CHECK(info.ptMinTrackSize.y == 30 + 4 + 4);
        // Maximised, the frame hangs over the work area by the style's frame width on every side.
        RECT work = {};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const int frame = CKivWindowHelper::GetStyleFrameWidth(f.Window());
        CHECK(info.ptMaxSize.x == work.right - work.left + 2 * frame);
        CHECK(info.ptMaxSize.y == work.bottom - work.top + 2 * frame);
        CHECK(info.ptMaxPosition.x == work.left - frame);
        CHECK(info.ptMaxPosition.y == work.top - frame);
        CHECK(f.Frame().MinTrackSize().y == 38);
    }
}

TEST_CASE("the menu bar: the skin's bar picture with the top-level items on it")
{
    skin::Install();
    Settings().menuBarHeight = 20;
    Settings().menuBarEnableCustom = 1;
    HMENU menu = CreateMenu();
    AppendMenuW(menu, MF_STRING, 100, L"File");
    AppendMenuW(menu, MF_STRING | MF_GRAYED, 101, L"Edit");
    SkinnedFrame f(WS_OVERLAPPEDWINDOW, 300, 200, true, menu);
    const POINT origin = f.ClientOrigin();
    Printed p(f);
    const int top = origin.y - 20;
    // The bar's free end shows its picture, not an undrawn surface.
    CHECK(p(origin.x + 250, top + 2) == Slot(skin::MenuBarBackground));
    CHECK(p(origin.x + 250, origin.y - 2) == Slot(skin::MenuBarBackground));
    int enabledText = 0, grayText = 0;
    for (int y = top; y < origin.y; ++y)
        for (int x = origin.x; x < origin.x + 150; ++x)
        {
            enabledText += p(x, y) == GetSysColor(COLOR_MENUTEXT);
            grayText += p(x, y) == GetSysColor(COLOR_GRAYTEXT);
        }
    CHECK(enabledText > 10);
    CHECK(grayText > 10);
    // The caption above keeps its own picture.
    const COLORREF caption = p(150, 6);
    CHECK((caption == Slot(skin::CaptionActive) || caption == Slot(skin::CaptionDefault)));
    skin::Install();
}

// The drawn sub-element base: coordinates, hit testing, bounds changes and
// the mouse capture it takes on its host window.
#include <doctest.h>
#include "CKivDirectBase.h"
#include "CKivWnd.h"
#include "KivTestSupport.h"

namespace {

struct HostWindow
{
    HWND window = nullptr;
    HostWindow()
    {
        window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 200, 150, 300, 200,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        kivtest::PumpPending();
    }
    ~HostWindow() { DestroyWindow(window); }
};

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

bool UpdatePending(HWND window, RECT* area)
{
    return GetUpdateRect(window, area, FALSE) != FALSE;
}

}  // namespace

TEST_CASE("a drawn element tests points in its own coordinates, right and bottom edges excluded")
{
    HostWindow host;
    CKivDirectBase element;
    CHECK(element.Init(40, 30, 100, 20, host.window) == 1);

    POINT point{40, 30};
    REQUIRE(element.ToLocal(&point, 0) == 1);
    CHECK(point.x == 0);
    CHECK(point.y == 0);
    CHECK(element.HitTest(point) == 1);
    CHECK(element.HitTest(POINT{99, 19}) == 1);
    CHECK(element.HitTest(POINT{100, 19}) == 0);
    CHECK(element.HitTest(POINT{99, 20}) == 0);
    CHECK(element.HitTest(POINT{-1, 0}) == 0);
    CHECK(element.ToLocal(nullptr, 0) == 0);

    // Screen points go through the host's client origin first.
    POINT origin{0, 0};
    ClientToScreen(host.window, &origin);
    POINT screen{origin.x + 45, origin.y + 33};
    REQUIRE(element.ToLocal(&screen, 1) == 1);
    CHECK(screen.x == 5);
    CHECK(screen.y == 3);

    // Points left of or above the host arrive sign-extended in lParam.
    CHECK(element.IsMouseOver(WM_MOUSEMOVE, 0, At(45, 35)) == 1);
    CHECK(element.IsMouseOver(WM_MOUSEMOVE, 0, At(-5, 35)) == 0);
    CHECK(element.IsMouseOver(WM_LBUTTONUP, 0, At(140, 35)) == 0);
    CHECK(element.IsMouseOver(WM_KEYDOWN, 0, 0) == 1);
}

TEST_CASE("moving a drawn element invalidates where it was, and only when it moves")
{
    HostWindow host;
    CKivDirectBase element;
    element.Init(10, 10, 50, 20, host.window);
    ValidateRect(host.window, nullptr);

    CHECK(element.SetBounds(10, 10, 50, 20) == 0);
    RECT pending{};
    CHECK_FALSE(UpdatePending(host.window, &pending));

    CHECK(element.SetBounds(100, 50, 60, 25) == 1);
    REQUIRE(UpdatePending(host.window, &pending));
    CHECK(pending.left == 10);
    CHECK(pending.top == 10);
    CHECK(pending.right == 60);
    CHECK(pending.bottom == 30);
    const RECT bounds = element.Bounds();
    CHECK(bounds.left == 100);
    CHECK(bounds.bottom == 75);
}

TEST_CASE("a press inside a drawn element captures the mouse on the host until the release")
{
    HostWindow host;
    CKivDirectBase element;
    element.Init(10, 10, 50, 20, host.window);

    element.OnMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    CHECK_FALSE(element.Captured());
    CHECK(GetCapture() != host.window);

    element.OnMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(20, 15));
    CHECK(element.Captured());
    CHECK(GetCapture() == host.window);

    element.OnMessage(WM_LBUTTONUP, 0, At(200, 150));
    CHECK_FALSE(element.Captured());
    CHECK(GetCapture() == nullptr);

    // A capture taken away ends the press without a release.
    element.OnMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(20, 15));
    REQUIRE(element.Captured());
    HostWindow other;
    SetCapture(other.window);
    element.OnMessage(WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(other.window));
    CHECK_FALSE(element.Captured());
    ReleaseCapture();
}

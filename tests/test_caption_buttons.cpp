// Caption button tracking on its own, on a plain window with known button
// boxes: which button a point is on (a disabled close is none), a press that
// takes the capture, the release that completes it, and a press cancelled.
#include <doctest.h>
#include "CKivCaptionButtonTracker.h"
#include "KivFrameTestHost.h"
#include "KivTestSupport.h"

namespace {

using Tracker = CKivCaptionButtonTracker;

struct Press
{
    int pressed = 0;
    int pressedButton = Tracker::NoButton;
    bool releasePending = false;
};

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

struct Frame
{
    explicit Frame(DWORD style = WS_OVERLAPPEDWINDOW)
    {
        window = CreateWindowExW(0, kivtest::RegisterTestClass(L"KivCaptionTrackerHost", &PlainProc), L"tracker",
                                 style | WS_VISIBLE, 100, 80, 300, 200, nullptr, nullptr, nullptr, nullptr);
        metrics.closeButton = KivButtonBox{270, 5, 20, 18};
        metrics.maxButton = KivButtonBox{248, 5, 20, 18};
        metrics.minButton = KivButtonBox{226, 5, 20, 18};
        kivtest::PumpPending();
    }
    ~Frame() { DestroyWindow(window); }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    Tracker Make()
    {
        return Tracker(window, metrics, nullptr,
                       Tracker::PressState{press.pressed, press.pressedButton, press.releasePending});
    }
    // A point in window coordinates on the screen.
    POINT Screen(int x, int y) const
    {
        RECT r{};
        GetWindowRect(window, &r);
        return POINT{r.left + x, r.top + y};
    }

    HWND window = nullptr;
    KivFrameMetrics metrics = {};
    Press press;
};

}  // namespace

TEST_CASE("the button under a point: edges inside, boxes only where the style has the button")
{
    Frame frame;
    REQUIRE(frame.window != nullptr);
    Tracker tracker = frame.Make();
    CHECK(tracker.HitTest(frame.Screen(270, 5)) == Tracker::CloseButton);
    CHECK(tracker.HitTest(frame.Screen(290, 23)) == Tracker::CloseButton);
    CHECK(tracker.HitTest(frame.Screen(291, 23)) == Tracker::NoButton);
    CHECK(tracker.HitTest(frame.Screen(250, 10)) == Tracker::MaxButton);
    CHECK(tracker.HitTest(frame.Screen(230, 10)) == Tracker::MinButton);
    CHECK(tracker.HitTest(frame.Screen(100, 10)) == Tracker::NoButton);
    CHECK_FALSE(tracker.OverDisabledClose(frame.Screen(275, 10)));

    SetWindowLongPtrW(frame.window, GWL_STYLE, GetWindowLongPtrW(frame.window, GWL_STYLE) & ~WS_MAXIMIZEBOX);
    CHECK(tracker.HitTest(frame.Screen(250, 10)) == Tracker::NoButton);
    CHECK(tracker.HitTest(frame.Screen(230, 10)) == Tracker::MinButton);
}

TEST_CASE("a close greyed in the system menu is no button and never reacts")
{
    Frame frame;
    REQUIRE(frame.window != nullptr);
    CHECK(Tracker::CloseEnabled(frame.window));
    EnableMenuItem(GetSystemMenu(frame.window, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    CHECK_FALSE(Tracker::CloseEnabled(frame.window));
    Tracker tracker = frame.Make();
    CHECK(tracker.HitTest(frame.Screen(275, 10)) == Tracker::NoButton);
    CHECK(tracker.OverDisabledClose(frame.Screen(275, 10)));
    CHECK_FALSE(tracker.OverDisabledClose(frame.Screen(250, 10)));
    const POINT onClose = frame.Screen(275, 10);
    const int pressed = 2;
    CHECK(tracker.Track(&onClose, &pressed) == 0);
    CHECK(frame.press.pressed == 0);
    CHECK(GetCapture() != frame.window);
}

TEST_CASE("a press takes the capture, a release on the same button completes it")
{
    Frame frame;
    REQUIRE(frame.window != nullptr);
    Tracker tracker = frame.Make();
    const POINT onMax = frame.Screen(255, 12);
    const POINT nowhere = frame.Screen(60, 100);
    const int hover = 1;
    const int pressed = 2;

    SUBCASE("hovering marks the button but takes nothing")
    {
        CHECK(tracker.Track(&onMax, &hover) == 1);
        CHECK(frame.press.pressedButton == Tracker::MaxButton);
        CHECK(frame.press.pressed == 0);
        CHECK(GetCapture() != frame.window);
        CHECK(tracker.Track(&nowhere, &pressed) == 0);
        CHECK(frame.press.pressed == 0);
    }
    SUBCASE("released on the button: the release is posted and completes the press once")
    {
        REQUIRE(tracker.Track(&onMax, &pressed) == 1);
        CHECK(frame.press.pressed == 1);
        CHECK(GetCapture() == frame.window);
        REQUIRE(frametest::MoveCursor(onMax));
        tracker.OnCapturedButtonUp();
        CHECK(frame.press.pressed == 0);
        CHECK(GetCapture() != frame.window);
        CHECK(frame.press.releasePending);
        MSG message{};
        CHECK(PeekMessageW(&message, frame.window, WM_NCLBUTTONUP, WM_NCLBUTTONUP, PM_REMOVE));
        CHECK(tracker.TakeRelease(onMax) == Tracker::MaxButton);
        CHECK_FALSE(frame.press.releasePending);
        CHECK(tracker.TakeRelease(onMax) == Tracker::NoButton);
    }
    SUBCASE("released elsewhere: nothing is due")
    {
        REQUIRE(tracker.Track(&onMax, &pressed) == 1);
        REQUIRE(frametest::MoveCursor(nowhere));
        tracker.OnCapturedButtonUp();
        CHECK(frame.press.pressed == 0);
        CHECK_FALSE(frame.press.releasePending);
        CHECK(tracker.TakeRelease(onMax) == Tracker::NoButton);
    }
    SUBCASE("a cancelled press lets the capture go")
    {
        REQUIRE(tracker.Track(&onMax, &pressed) == 1);
        tracker.CancelPress();
        CHECK(frame.press.pressed == 0);
        CHECK(GetCapture() != frame.window);
        // Without a press the captured mouse changes nothing.
        tracker.OnCapturedButtonUp();
        CHECK_FALSE(frame.press.releasePending);
    }
}

// The shadow around a skinned top-level frame: its place beside the frame,
// its picture, its visibility through maximise, minimise and restore, that it
// never takes activation, focus or the frame's clicks, that it lives until
// the frame's WM_DESTROY, sizing from its edges, and no GDI objects left
// behind. With KIV_SCREENSHOT_DIR set a capture is saved there as glow.bmp.
#include <doctest.h>
#include <windows.h>
#include "CKivEffectGlowWnd.h"
#include "CKivFrameWnd.h"
#include "CKivGlowFollower.h"
#include "CKivSkinStore.h"
#include "KivFrameTestHost.h"
#include "KivGdiLeakOracle.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <memory>
#include <string>

using frametest::SkinnedFrame;
namespace skin = kivtest::skin;

namespace {

const COLORREF kShadow = RGB(0x30, 0x60, 0xC0);

// What the host window procedure saw, and how it answers WM_CLOSE.
struct GlowLog
{
    int closes = 0;
    int destroys = 0;
    int activations = 0;
    int enterSizeMove = 0;
    int sizings = 0;
    int exitSizeMove = 0;
    bool refuseClose = true;
    HANDLE entered = nullptr;  // set at WM_ENTERSIZEMOVE
    HANDLE sized = nullptr;    // set at WM_SIZING
};

GlowLog& Log()
{
    static GlowLog log;
    return log;
}

LRESULT CALLBACK GlowHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    GlowLog& log = Log();
    switch (message)
    {
    case WM_CLOSE:
        ++log.closes;
        if (log.refuseClose)
            return 0;
        break;
    case WM_DESTROY: ++log.destroys; break;
    case WM_ACTIVATE: ++log.activations; break;
    case WM_ENTERSIZEMOVE:
        ++log.enterSizeMove;
        if (log.entered)
            SetEvent(log.entered);
        break;
    case WM_SIZING:
        ++log.sizings;
        if (log.sized)
            SetEvent(log.sized);
        break;
    case WM_EXITSIZEMOVE: ++log.exitSizeMove; break;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateGlowHost(DWORD style, int x, int y, int width, int height)
{
    const wchar_t* host = kivtest::RegisterTestClass(L"KivGlowHost", &GlowHostProc);
    return CreateWindowExW(0, host, L"Kiv glow", style & ~WS_VISIBLE, x, y, width, height, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

// The test skin with its shadow switched on.
void InstallShadowSkin(int sizeControl = 0)
{
    skin::Install();
    KivSkinSettings& s = CKivSkinStore::Settings();
    s.edgeHideShadow = 0;
    s.edgeShadowColor = static_cast<int>(kShadow);
    s.edgeEnableSizeCtl = sizeControl;
    Log() = GlowLog();
}

// A skinned host frame of exactly width x height at (x, y).
std::unique_ptr<SkinnedFrame> MakeFrame(int x, int y, int width, int height, DWORD style = WS_OVERLAPPEDWINDOW,
                                        bool show = true)
{
    HWND window = CreateGlowHost(style, x, y, width, height);
    std::unique_ptr<SkinnedFrame> frame(new SkinnedFrame(window, width, height, show));
    SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    kivtest::PumpPending();
    return frame;
}

RECT WindowRectOf(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

bool Is(const RECT& r, int left, int top, int width, int height)
{
    return r.left == left && r.top == top && r.right - r.left == width && r.bottom - r.top == height;
}

BYTE AlphaAt(const CKivEffectGlowWnd& glow, int x, int y)
{
    return static_cast<BYTE>(glow.Surface().Pixel(x, y) >> 24);
}

// The premultiplied pixel the shadow colour gives at alpha.
DWORD Premultiplied(COLORREF colour, BYTE alpha)
{
    return (static_cast<DWORD>(alpha) << 24) | ((GetRValue(colour) * alpha / 255u) << 16) |
           ((GetGValue(colour) * alpha / 255u) << 8) | (GetBValue(colour) * alpha / 255u);
}

bool GlowShown(SkinnedFrame& f)
{
    const HWND glow = f.Frame().Glow().Window();
    return glow != nullptr && IsWindowVisible(glow);
}

bool Near(int a, int b, int tolerance)
{
    return a - b <= tolerance && b - a <= tolerance;
}

// A plain window of another class that holds the foreground and the focus.
struct Bystander
{
    HWND window = nullptr;
    HWND edit = nullptr;
    Bystander()
    {
        window = CreateWindowExW(0, L"KivGlowHost", L"bystander", WS_OVERLAPPEDWINDOW, 600, 400, 300, 200, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
        edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 10, 100, 24, window, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        SetFocus(edit);
        kivtest::PumpUntil([&] { return GetForegroundWindow() == window && GetFocus() == edit; }, 3000);
    }
    ~Bystander() { DestroyWindow(window); }
};

// A plain window in the system's face colour under the frames, so the screen
// below a shadow is a known colour.
struct Backdrop
{
    HWND window = nullptr;
    Backdrop()
    {
        window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 40, 40, 560, 460, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        UpdateWindow(window);
        kivtest::PumpUntil([] { return frametest::ScreenPixel(POINT{60, 60}) == GetSysColor(COLOR_3DFACE); }, 2000);
    }
    ~Backdrop() { DestroyWindow(window); }
};

}  // namespace

TEST_CASE("the glow lies 9 pixels outside the frame's left and top and 8 outside its right and bottom, and follows")
{
    InstallShadowSkin();
    auto f = MakeFrame(100, 100, 400, 300);
    CKivEffectGlowWnd& glow = f->Frame().Glow();
    REQUIRE(glow.Window() != nullptr);
    CHECK(Is(WindowRectOf(f->Window()), 100, 100, 400, 300));
    CHECK(Is(WindowRectOf(glow.Window()), 91, 91, 417, 317));
    CHECK(IsWindowVisible(glow.Window()));
    CHECK(GetWindow(f->Window(), GW_HWNDNEXT) == glow.Window());  // right behind its frame
    CHECK(GetWindow(glow.Window(), GW_OWNER) == nullptr);
    const LONG_PTR exStyle = GetWindowLongPtrW(glow.Window(), GWL_EXSTYLE);
    CHECK((exStyle & WS_EX_LAYERED) != 0);
    CHECK((exStyle & WS_EX_NOACTIVATE) != 0);
    CHECK((exStyle & WS_EX_TRANSPARENT) != 0);  // no size control: every click goes through
    CHECK(glow.ShadowColor() == kShadow);
    CHECK(CKivGlowFollower::GlowOf(f->Window()) == &glow);

    SUBCASE("moves move it; size changes resize it and its picture")
    {
        MoveWindow(f->Window(), 250, 180, 400, 300, TRUE);
        CHECK(Is(WindowRectOf(glow.Window()), 241, 171, 417, 317));
        SetWindowPos(f->Window(), nullptr, 0, 0, 520, 260, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        CHECK(Is(WindowRectOf(glow.Window()), 241, 171, 537, 277));
        CHECK(glow.Surface().Width() == 537);
        CHECK(glow.Surface().Height() == 277);
        // The region leaves the frame's rectangle out.
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        REQUIRE(GetWindowRgn(glow.Window(), region) != ERROR);
        CHECK(PtInRegion(region, 8, 100));
        CHECK_FALSE(PtInRegion(region, 9, 100));
        CHECK_FALSE(PtInRegion(region, 537 - 9, 100));
        CHECK(PtInRegion(region, 537 - 8, 100));
        CHECK(PtInRegion(region, 100, 277 - 8));
        DeleteObject(region);
    }
    SUBCASE("a frame skinned while shown gets its glow at once; a child frame and a hidden shadow get none")
    {
        HWND shown = CreateGlowHost(WS_OVERLAPPEDWINDOW, 300, 200, 200, 150);
        ShowWindow(shown, SW_SHOWNOACTIVATE);
        CKivFrameWnd frame;
        REQUIRE(frame.Attach(shown));
        REQUIRE(frame.Glow().Window() != nullptr);
        CHECK(IsWindowVisible(frame.Glow().Window()));
        const RECT r = WindowRectOf(shown);
        CHECK(Is(WindowRectOf(frame.Glow().Window()), r.left - 9, r.top - 9, r.right - r.left + 17, r.bottom - r.top + 17));
        frame.Detach();
        CHECK(frame.Glow().Window() == nullptr);
        CHECK(CKivGlowFollower::GlowOf(shown) == nullptr);
        DestroyWindow(shown);

        HWND child = CreateWindowExW(0, L"KivGlowHost", L"child", WS_CHILD | WS_CAPTION | WS_THICKFRAME, 10, 10, 150,
                                     100, f->Window(), nullptr, GetModuleHandleW(nullptr), nullptr);
        CKivFrameWnd childFrame;
        REQUIRE(childFrame.Attach(child));
        CHECK(childFrame.Glow().Window() == nullptr);
        childFrame.Detach();
        DestroyWindow(child);

        CKivSkinStore::Settings().edgeHideShadow = 1;
        auto hidden = MakeFrame(300, 300, 200, 150);
        CHECK(hidden->Frame().Glow().Window() == nullptr);
    }
}

TEST_CASE("the shadow picture: premultiplied alpha bands, opaque edge lines, transparent inside")
{
    InstallShadowSkin();
    auto f = MakeFrame(100, 100, 400, 300);
    const CKivEffectGlowWnd& glow = f->Frame().Glow();
    REQUIRE(glow.Surface().Width() == 417);
    REQUIRE(glow.Surface().Height() == 317);
    const int right = 416, bottom = 316;
    // Left and top bands fade out to the outside, right and bottom likewise.
    const BYTE inner[8] = {0, 11, 22, 33, 45, 56, 67, 78};
    const BYTE outer[8] = {90, 78, 67, 56, 45, 33, 22, 11};
    for (int i = 0; i < 8; ++i)
    {
        CAPTURE(i);
        CHECK(AlphaAt(glow, i, 150) == inner[i]);
        CHECK(AlphaAt(glow, 200, i) == inner[i]);
        if (i > 0)  // line 0 lies under the edge line
        {
            CHECK(AlphaAt(glow, right - 7 + i, 150) == outer[i]);
            CHECK(AlphaAt(glow, 200, bottom - 7 + i) == outer[i]);
        }
    }
    // The outermost left line is fully transparent, the outermost right one is not.
    CHECK(glow.Surface().Pixel(0, 150) == 0);
    CHECK(glow.Surface().Pixel(right, 150) == Premultiplied(kShadow, 11));
    CHECK(glow.Surface().Pixel(5, 150) == Premultiplied(kShadow, 56));
    // The edge lines: one pixel outside the frame on every side, opaque, in the shadow colour.
    const DWORD opaque = Premultiplied(kShadow, 255);
    CHECK(opaque == (0xFF000000u | 0x3060C0u));
    for (int y = 8; y <= bottom - 8; y += 37)
    {
        CHECK(glow.Surface().Pixel(8, y) == opaque);
        CHECK(glow.Surface().Pixel(right - 7, y) == opaque);
    }
    for (int x = 8; x <= right - 8; x += 41)
    {
        CHECK(glow.Surface().Pixel(x, 8) == opaque);
        CHECK(glow.Surface().Pixel(x, bottom - 7) == opaque);
    }
    CHECK(glow.Surface().Pixel(right - 7, bottom - 7) == opaque);  // the bottom-right corner closes the outline
    // Inside the outline (the frame's own pixels) nothing.
    CHECK(glow.Surface().Pixel(9, 9) == 0);
    CHECK(glow.Surface().Pixel(200, 150) == 0);
    CHECK(glow.Surface().Pixel(right - 8, bottom - 8) == 0);
    // Corners fade with the distance from the frame's corner.
    CHECK(AlphaAt(glow, 7, 7) == 74);
    CHECK(AlphaAt(glow, 0, 0) == 0);
    CHECK(AlphaAt(glow, right, bottom) == 0);
    CHECK(AlphaAt(glow, right - 6, bottom - 7) == 78);
    CHECK(AlphaAt(glow, right - 7, 7) == 78);
    CHECK(AlphaAt(glow, 7, bottom - 7) == 78);
}

TEST_CASE("the screen shows the shadow beside the frame")
{
    InstallShadowSkin();
    const Backdrop backdrop;
    const POINT probe = {100 - 1, 250};  // on the left edge line of a frame at (100, 100)
    const POINT band = {100 - 4, 250};   // in the left band (alpha 45)
    const COLORREF below = frametest::ScreenPixel(probe);
    auto f = MakeFrame(100, 100, 400, 300);
    // A compositing desktop blends the shadow over what lies below; Wine on
    // an X server without a compositor shows the premultiplied pixels over
    // black instead. Either way the picture sits at the frame's edge.
    auto mix = [](int c, int under, int alpha) {
        const int a = alpha * CKivEffectGlowWnd::kConstantAlpha / 255;
        return c * a / 255 + under * (255 - a) / 255;
    };
    // The seen pixel lies between the shadow over black and over what is below.
    auto shows = [&](POINT p, BYTE alpha, int tolerance) {
        const COLORREF seen = frametest::ScreenPixel(p);
        auto channel = [&](int c, int under, int got) {
            return got >= mix(c, 0, alpha) - tolerance && got <= mix(c, under, alpha) + tolerance;
        };
        return channel(GetRValue(kShadow), GetRValue(below), GetRValue(seen)) &&
               channel(GetGValue(kShadow), GetGValue(below), GetGValue(seen)) &&
               channel(GetBValue(kShadow), GetBValue(below), GetBValue(seen));
    };
    // Wine puts a layered window's picture on the screen asynchronously.
    CHECK(kivtest::PumpUntil([&] { return shows(probe, 255, 3); }, 3000));
    CAPTURE(below);
    CAPTURE(frametest::ScreenPixel(probe));
    CAPTURE(frametest::ScreenPixel(band));
    CHECK(shows(band, 45, 3));
    CHECK(frametest::ScreenPixel(band) != below);
    MoveWindow(f->Window(), 120, 100, 400, 300, TRUE);
    CHECK(kivtest::PumpUntil([&] { return shows(POINT{120 - 1, 250}, 255, 3); }, 3000));
}

TEST_CASE("each glow stays right behind its own frame as the frames change places")
{
    InstallShadowSkin();
    auto a = MakeFrame(100, 100, 300, 200);
    auto b = MakeFrame(250, 180, 300, 200);
    const HWND glowA = a->Frame().Glow().Window();
    const HWND glowB = b->Frame().Glow().Window();
    auto behind = [](SkinnedFrame& f, HWND glow) { return GetWindow(f.Window(), GW_HWNDNEXT) == glow; };
    for (int round = 0; round < 2; ++round)
    {
        SetWindowPos(a->Window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        CHECK(behind(*a, glowA));
        CHECK(behind(*b, glowB));
        CHECK(GetWindow(glowA, GW_HWNDNEXT) == b->Window());
        SetWindowPos(b->Window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        CHECK(behind(*b, glowB));
        CHECK(behind(*a, glowA));
        CHECK(GetWindow(glowB, GW_HWNDNEXT) == a->Window());
    }
    // Where the frames overlap, the upper frame's shadow lies over the lower frame.
    CHECK(WindowFromPoint(POINT{250 + 150, 180 + 100}) == b->Window());
    CHECK(WindowFromPoint(POINT{150, 150}) == a->Window());
}

TEST_CASE("maximise and minimise hide a frame's own glow, restore shows it again")
{
    InstallShadowSkin();
    auto a = MakeFrame(100, 100, 300, 200);
    auto b = MakeFrame(450, 150, 300, 200);
    REQUIRE(GlowShown(*a));
    REQUIRE(GlowShown(*b));
    ShowWindow(a->Window(), SW_MAXIMIZE);
    kivtest::PumpPending();
    CHECK_FALSE(GlowShown(*a));
    CHECK(GlowShown(*b));
    ShowWindow(b->Window(), SW_MAXIMIZE);
    kivtest::PumpPending();
    CHECK_FALSE(GlowShown(*b));
    // Restoring one frame leaves the other's glow hidden.
    ShowWindow(b->Window(), SW_RESTORE);
    kivtest::PumpPending();
    CHECK(GlowShown(*b));
    CHECK_FALSE(GlowShown(*a));
    CHECK(Is(WindowRectOf(b->Frame().Glow().Window()), 441, 141, 317, 217));
    ShowWindow(a->Window(), SW_RESTORE);
    kivtest::PumpPending();
    CHECK(GlowShown(*a));
    CHECK(Is(WindowRectOf(a->Frame().Glow().Window()), 91, 91, 317, 217));
    ShowWindow(a->Window(), SW_MINIMIZE);
    kivtest::PumpPending();
    CHECK_FALSE(GlowShown(*a));
    CHECK(GlowShown(*b));
    ShowWindow(a->Window(), SW_RESTORE);
    kivtest::PumpPending();
    CHECK(GlowShown(*a));
    // Hidden and shown with the frame.
    ShowWindow(b->Window(), SW_HIDE);
    CHECK_FALSE(GlowShown(*b));
    ShowWindow(b->Window(), SW_SHOWNA);
    CHECK(GlowShown(*b));
}

namespace {

// Where the foreground, the focus and the frame's activations stand after each
// step of moving, minimising and restoring a background frame.
struct Standing
{
    bool foreground[3];
    bool focus[3];
    int activations[3];
    bool glowShown[3];
    bool glowActive;
};

Standing MoveMinimiseRestore(bool withGlow)
{
    InstallShadowSkin();
    CKivSkinStore::Settings().edgeHideShadow = withGlow ? 0 : 1;
    auto f = MakeFrame(100, 100, 300, 200);
    Bystander other;
    REQUIRE(GetForegroundWindow() == other.window);
    REQUIRE(GetFocus() == other.edit);
    Log().activations = 0;
    Standing standing = {};
    auto note = [&](int step) {
        kivtest::PumpPending();
        standing.foreground[step] = GetForegroundWindow() == other.window;
        standing.focus[step] = GetFocus() == other.edit;
        standing.activations[step] = Log().activations;
        standing.glowShown[step] = GlowShown(*f);
    };
    for (int i = 0; i < 20; ++i)
        SetWindowPos(f->Window(), nullptr, 100 + i * 3, 100 + i, 300 + i, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    note(0);
    ShowWindow(f->Window(), SW_SHOWMINNOACTIVE);
    note(1);
    WINDOWPLACEMENT place = {};
    place.length = sizeof(place);
    GetWindowPlacement(f->Window(), &place);
    place.showCmd = SW_SHOWNOACTIVATE;
    SetWindowPlacement(f->Window(), &place);
    note(2);
    standing.glowActive = withGlow && GetActiveWindow() == f->Frame().Glow().Window();
    return standing;
}

}  // namespace

TEST_CASE("moves, minimise and restore of a skinned frame leave the foreground and the focus alone")
{
    const Standing glow = MoveMinimiseRestore(true);
    const Standing plain = MoveMinimiseRestore(false);
    for (int step = 0; step < 2; ++step)
    {
        CAPTURE(step);
        CHECK(glow.foreground[step]);
        CHECK(glow.focus[step]);
        CHECK(glow.activations[step] == 0);  // not even a made-up WM_ACTIVATE
    }
    CHECK(glow.glowShown[0]);
    CHECK_FALSE(glow.glowShown[1]);
    CHECK(glow.glowShown[2]);
    // Wine activates any window it restores from minimised, even when asked
    // not to; with its glow the frame fares exactly as without one.
    CHECK(glow.foreground[2] == plain.foreground[2]);
    CHECK(glow.focus[2] == plain.focus[2]);
    CHECK(glow.activations[2] == plain.activations[2]);
    CHECK_FALSE(glow.glowActive);
}

TEST_CASE("a refused close keeps the glow; the frame's WM_DESTROY ends it")
{
    InstallShadowSkin();
    auto f = MakeFrame(100, 100, 300, 200);
    const HWND window = f->Window();
    const HWND glow = f->Frame().Glow().Window();
    REQUIRE(glow != nullptr);
    Log().refuseClose = true;
    SendMessageW(window, WM_CLOSE, 0, 0);
    SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    kivtest::PumpPending();
    CHECK(Log().closes == 2);  // the host saw both
    CHECK(IsWindow(glow));
    CHECK(IsWindowVisible(glow));
    CHECK(f->Frame().Glow().Window() == glow);
    // The glow keeps following after the refused close.
    MoveWindow(window, 140, 120, 300, 200, TRUE);
    CHECK(Is(WindowRectOf(glow), 131, 111, 317, 217));

    Log().refuseClose = false;
    SendMessageW(window, WM_CLOSE, 0, 0);
    CHECK_FALSE(IsWindow(window));
    CHECK(Log().destroys == 1);  // the host's own WM_DESTROY arrived
    CHECK_FALSE(IsWindow(glow));
    CHECK(CKivGlowFollower::GlowOf(window) == nullptr);
}

TEST_CASE("clicks on the frame reach the frame; without size control the glow lets every click through")
{
    InstallShadowSkin();
    auto f = MakeFrame(100, 100, 400, 300);
    const HWND window = f->Window();
    const HWND glow = f->Frame().Glow().Window();
    const POINT onFrame[] = {{300, 250}, {100, 250}, {499, 250}, {300, 100}, {300, 399}, {110, 110}, {490, 390}};
    for (const POINT& p : onFrame)
    {
        CAPTURE(p.x);
        CAPTURE(p.y);
        CHECK(WindowFromPoint(p) == window);
    }
    const POINT onShadow[] = {{95, 250}, {99, 250}, {505, 250}, {300, 95}, {300, 405}};
    for (const POINT& p : onShadow)
    {
        CAPTURE(p.x);
        CHECK(WindowFromPoint(p) != glow);
        CHECK(SendMessageW(glow, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)) == HTTRANSPARENT);
    }
    CHECK(SendMessageW(glow, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTLEFT, WM_LBUTTONDOWN)) ==
          MA_NOACTIVATE);
}

TEST_CASE("with size control the glow's edges are resize handles")
{
    InstallShadowSkin(1);
    auto f = MakeFrame(100, 100, 400, 300);
    const HWND window = f->Window();
    const HWND glow = f->Frame().Glow().Window();
    REQUIRE(glow != nullptr);
    CHECK((GetWindowLongPtrW(glow, GWL_EXSTYLE) & WS_EX_TRANSPARENT) == 0);
    // The glow is (91, 91) to (508, 408).
    struct Probe
    {
        POINT p;
        LRESULT code;
    };
    const Probe probes[] = {
        {{95, 250}, HTLEFT},        {{91, 107}, HTLEFT},          {{91, 106}, HTTOPLEFT},   {{250, 91}, HTTOP},
        {{107, 95}, HTTOP},         {{99, 95}, HTTOPLEFT},        {{505, 250}, HTRIGHT},    {{504, 115}, HTRIGHT},
        {{504, 114}, HTTOPRIGHT},   {{494, 95}, HTTOPRIGHT},      {{505, 95}, HTTRANSPARENT},  // the square outside every zone
        {{250, 405}, HTBOTTOM},     {{505, 405}, HTBOTTOMRIGHT},  {{495, 404}, HTBOTTOMRIGHT}, {{492, 404}, HTBOTTOM}, {{95, 405}, HTBOTTOMLEFT},
        {{105, 404}, HTBOTTOMLEFT}, {{108, 404}, HTBOTTOM},
    };
    for (const Probe& probe : probes)
    {
        CAPTURE(probe.p.x);
        CAPTURE(probe.p.y);
        CHECK(SendMessageW(glow, WM_NCHITTEST, 0, MAKELPARAM(probe.p.x, probe.p.y)) == probe.code);
    }
    CHECK(WindowFromPoint(POINT{95, 250}) == glow);
    CHECK(WindowFromPoint(POINT{300, 250}) == window);
    CHECK(WindowFromPoint(POINT{100, 250}) == window);

    SUBCASE("dragging the left band resizes the frame through its own sizing loop")
    {
        SetForegroundWindow(window);
        REQUIRE(frametest::MoveCursor(POINT{95, 250}));
        Log().entered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        Log().sized = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        frametest::ModalGuard guard(8000);
        // The press starts a modal loop on this thread; the drag comes from another.
        struct Drag
        {
            static DWORD WINAPI Run(void*)
            {
                INPUT press = {};
                press.type = INPUT_MOUSE;
                press.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
                SendInput(1, &press, sizeof(INPUT));
                if (WaitForSingleObject(Log().entered, 5000) != WAIT_OBJECT_0)
                    return 1;
                INPUT move = {};
                move.type = INPUT_MOUSE;
                move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
                move.mi.dx = (55 * 65535 + GetSystemMetrics(SM_CXSCREEN) / 2) / (GetSystemMetrics(SM_CXSCREEN) - 1);
                move.mi.dy = (250 * 65535 + GetSystemMetrics(SM_CYSCREEN) / 2) / (GetSystemMetrics(SM_CYSCREEN) - 1);
                SendInput(1, &move, sizeof(INPUT));
                WaitForSingleObject(Log().sized, 5000);
                INPUT release = {};
                release.type = INPUT_MOUSE;
                release.mi.dwFlags = MOUSEEVENTF_LEFTUP;
                SendInput(1, &release, sizeof(INPUT));
                return 0;
            }
        };
        HANDLE thread = CreateThread(nullptr, 0, &Drag::Run, nullptr, 0, nullptr);
        REQUIRE(thread != nullptr);
        CHECK(kivtest::PumpUntil([] { return Log().exitSizeMove > 0; }, 7000));
        WaitForSingleObject(thread, 5000);
        CloseHandle(thread);
        CloseHandle(Log().entered);
        CloseHandle(Log().sized);
        Log().entered = Log().sized = nullptr;
        CHECK_FALSE(guard.Fired());
        CHECK(Log().enterSizeMove == 1);
        CHECK(Log().sizings >= 1);
        CHECK(Log().exitSizeMove == 1);
        // The frame's left edge followed the pointer by 40 pixels; the right edge stayed.
        const RECT r = WindowRectOf(window);
        CAPTURE(r.left);
        CHECK(Near(r.left, 60, 1));
        CHECK(r.right == 500);
        CHECK(r.top == 100);
        const RECT g = WindowRectOf(glow);
        CHECK(g.left == r.left - 9);
        CHECK(g.right == r.right + 8);
        CHECK(glow != GetActiveWindow());
    }
}

TEST_CASE("the follower keeps the frame's messages and the subclassers above it")
{
    InstallShadowSkin();
    auto f = MakeFrame(100, 100, 300, 200);
    const HWND window = f->Window();
    // A host subclass installed after the skin and its glow.
    static WNDPROC below = nullptr;
    static int seen = 0;
    struct Above
    {
        static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp)
        {
            if (m == WM_USER + 7)
                return ++seen;
            return CallWindowProcW(below, w, m, wp, lp);
        }
    };
    seen = 0;
    below = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Above::Proc)));
    REQUIRE(reinterpret_cast<LONG_PTR>(below) == reinterpret_cast<LONG_PTR>(&CKivGlowFollower::FollowerProc));
    CHECK(SendMessageW(window, WM_USER + 7, 0, 0) == 1);

    // The skin lets go of the frame: the glow goes, the subclass above stays in charge.
    f->Frame().Detach();
    CHECK(f->Frame().Glow().Window() == nullptr);
    CHECK(CKivGlowFollower::GlowOf(window) == nullptr);
    CHECK(GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&Above::Proc));
    CHECK(SendMessageW(window, WM_USER + 7, 0, 0) == 2);
    // Messages still reach the host's own procedure through the chain.
    Log().refuseClose = true;
    SendMessageW(window, WM_CLOSE, 0, 0);
    CHECK(Log().closes == 1);
    MoveWindow(window, 130, 130, 300, 200, TRUE);
    CHECK(Is(WindowRectOf(window), 130, 130, 300, 200));

    // A new glow for the frame: the follower left in the chain serves it.
    REQUIRE(f->Frame().Glow().CreateGlow(window, kShadow, FALSE));
    CHECK(GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&Above::Proc));
    MoveWindow(window, 160, 150, 300, 200, TRUE);
    CHECK(Is(WindowRectOf(f->Frame().Glow().Window()), 151, 141, 317, 217));
    CHECK(SendMessageW(window, WM_USER + 7, 0, 0) == 3);
    Log().refuseClose = false;
    DestroyWindow(window);
    CHECK(Log().destroys == 1);
    CHECK(CKivGlowFollower::GlowOf(window) == nullptr);
}

TEST_CASE("an ANSI frame stays ANSI under its glow")
{
    InstallShadowSkin();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KivGlowAnsiHost";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, "KivGlowAnsiHost", "ansi", WS_OVERLAPPEDWINDOW, 100, 100, 300, 200, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    REQUIRE(window != nullptr);
    REQUIRE_FALSE(IsWindowUnicode(window));
    SkinnedFrame f(window, 300, 200);
    REQUIRE(f.Frame().Glow().Window() != nullptr);
    CHECK_FALSE(IsWindowUnicode(window));
    SetWindowTextA(window, "\xC4nderung");
    char text[32] = {};
    GetWindowTextA(window, text, sizeof(text));
    CHECK(std::string(text) == "\xC4nderung");
    MoveWindow(window, 150, 120, 300, 200, TRUE);
    CHECK(Is(WindowRectOf(f.Frame().Glow().Window()), 141, 111, 317, 217));
}

TEST_CASE("tiny and huge frames: the glow stays bounded")
{
    InstallShadowSkin();
    // Without a sizing frame the system does not clamp the size.
    auto f = MakeFrame(100, 100, 300, 200, WS_POPUP | WS_CAPTION | WS_SYSMENU);
    CKivEffectGlowWnd& glow = f->Frame().Glow();
    REQUIRE(GlowShown(*f));
    SetWindowPos(f->Window(), nullptr, 0, 0, 1, 1, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT tiny = WindowRectOf(f->Window());
    CHECK(Is(WindowRectOf(glow.Window()), tiny.left - 9, tiny.top - 9, tiny.right - tiny.left + 17,
             tiny.bottom - tiny.top + 17));
    CHECK(GlowShown(*f));
    SetWindowPos(f->Window(), nullptr, 0, 0, 30000, 30000, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CHECK(WindowRectOf(f->Window()).right - WindowRectOf(f->Window()).left > 16384);
    CHECK_FALSE(GlowShown(*f));
    CHECK(glow.Surface().Width() == 0);  // its bitmap let go
    SetWindowPos(f->Window(), nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CHECK(GlowShown(*f));
    CHECK(glow.Surface().Width() == 317);
    CHECK(CKivShadowSurface::TooLarge(4097, 4097));
    CHECK_FALSE(CKivShadowSurface::TooLarge(4096, 4096));
}

TEST_CASE("GDI objects stay flat over 1,000 moves and redraws of a frame with its glow")
{
    InstallShadowSkin();
    kivtest::GdiLeakOracle oracle;
    REQUIRE(oracle.ReadsHandleTable());
    auto f = MakeFrame(100, 100, 300, 200);
    CKivEffectGlowWnd& glow = f->Frame().Glow();
    auto round = [&](int i) {
        SetWindowPos(f->Window(), nullptr, 100 + (i % 50), 100 + (i % 30), 300 + (i % 10 == 0 ? i % 7 : 0), 200,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (i % 25 == 0)
            glow.RedrawShadow();
    };
    for (int i = 0; i < 60; ++i)
        round(i);
    kivtest::PumpPending();
    const long before = oracle.LiveObjects();
    for (int i = 0; i < 1000; ++i)
        round(i);
    kivtest::PumpPending();
    CHECK(oracle.LiveObjects() == before);
}

TEST_CASE("screenshot: a skinned frame with its shadow")
{
    // The default skin beside the tests when it has been built, else the test skin.
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring path(program);
    path.resize(path.find_last_of(L"\\/") + 1);
    path += L"default.kiv";
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES || !CKivSkinStore::LoadSkin(path.c_str()))
        InstallShadowSkin();
    CKivSkinStore::Settings().edgeHideShadow = 0;
    const Backdrop backdrop;
    auto f = MakeFrame(80, 80, 440, 340);
    SetForegroundWindow(f->Window());
    RedrawWindow(f->Window(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    // Wine puts the pictures on the screen asynchronously: wait for the caption and the shadow.
    const POINT caption = {300, 90};
    const POINT edge = {79, 250};
    kivtest::PumpUntil([&] {
        const COLORREF face = GetSysColor(COLOR_3DFACE);
        return frametest::ScreenPixel(edge) != face && frametest::ScreenPixel(caption) != face &&
               frametest::ScreenPixel(caption) != RGB(255, 255, 255);
    }, 3000);
    kivtest::Canvas canvas(520, 420, 0);
    frametest::CaptureScreen(POINT{40, 40}, canvas);
    frametest::SaveScreenshot(canvas, L"glow.bmp");
    CHECK(canvas.Pixel(edge.x - 40, edge.y - 40) != GetSysColor(COLOR_3DFACE));
    CHECK(canvas.Pixel(20, 20) == GetSysColor(COLOR_3DFACE));

    // An X server without a compositor shows layered windows over black; a
    // compositing desktop blends them over what lies below. That picture:
    // the scene captured without the glow, the glow's bitmap blended on top.
    const CKivEffectGlowWnd& glow = f->Frame().Glow();
    const RECT place = WindowRectOf(glow.Window());
    ShowWindow(glow.Window(), SW_HIDE);
    kivtest::PumpUntil([&] { return frametest::ScreenPixel(edge) == GetSysColor(COLOR_3DFACE); }, 2000);
    kivtest::Canvas blended(520, 420, 0);
    frametest::CaptureScreen(POINT{40, 40}, blended);
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, CKivEffectGlowWnd::kConstantAlpha, AC_SRC_ALPHA};
    CHECK(AlphaBlend(blended.DC(), place.left - 40, place.top - 40, glow.Surface().Width(), glow.Surface().Height(),
                     glow.Surface().GetDC(), 0, 0, glow.Surface().Width(), glow.Surface().Height(), blend));
    frametest::SaveScreenshot(blended, L"glow-blended.bmp");
    const COLORREF face = GetSysColor(COLOR_3DFACE);
    const COLORREF shade = blended.Pixel(edge.x - 40 - 3, edge.y - 40);  // in the left band
    CHECK(GetGValue(shade) < GetGValue(face));
    CHECK(GetGValue(shade) > GetGValue(face) / 2);  // a soft shade, not a dark ring
}

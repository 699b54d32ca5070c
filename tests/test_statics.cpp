// Static text, picture, trackbar and progress bar skins on real controls,
// created while the engine's hook runs so that each gets its skin object the
// way a host's controls do. Pixels are read back from the screen of the
// virtual desktop; the skin draws the dialog background in one flat colour.
#include <doctest.h>
#include "CKivEngine.h"
#include "CKivGdiObject.h"
#include "CKivPictureControl.h"
#include "CKivProgressBar.h"
#include "CKivSkinStore.h"
#include "CKivSliderControl.h"
#include "CKivStatic.h"
#include "CKivTextContrast.h"
#include "CKivWndBox.h"
#include "KivGdiLeakOracle.h"
#include "KivTestInput.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"
#include <commctrl.h>
#include <climits>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace {

const COLORREF kDialog = RGB(250, 230, 210);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kFill = RGB(20, 160, 40);
const COLORREF kFillPicture = RGB(40, 60, 200);
const COLORREF kThumbDefault = RGB(200, 40, 40);
const COLORREF kThumbHot = RGB(40, 200, 40);
const COLORREF kThumbSelect = RGB(40, 40, 200);
const COLORREF kChannel = RGB(150, 120, 30);
const COLORREF kRed = RGB(255, 0, 0);
const RECT kFillPictureRect = {0, 0, 8, 8};

void InstallSkin(int enablePicture = 0, RECT picture = kFillPictureRect)
{
    KivSkinSettings& s = CKivSkinStore::Settings();
    memset(&s, 0, sizeof(s));
    s.edgeEnableBackColor = 1;
    s.edgeBackgroundColor = static_cast<int>(kDialog);
    s.staticTextTransparent = 1;
    s.pictureControlTransparent = 1;
    s.sliderControlThumbDefault = static_cast<int>(kThumbDefault);
    s.sliderControlThumbHot = static_cast<int>(kThumbHot);
    s.sliderControlThumbSelect = static_cast<int>(kThumbSelect);
    s.sliderControlChannel = static_cast<int>(kChannel);
    s.progressControlProgressColor = static_cast<int>(kFill);
    s.progressControlProgressPic = picture;
    s.progressControlEnablePic = enablePicture;
    const DWORD pictureRgb = static_cast<DWORD>(GetRValue(kFillPicture)) << 16 | GetGValue(kFillPicture) << 8 |
                             GetBValue(kFillPicture);
    const std::vector<DWORD> pixels(16 * 8, pictureRgb);
    const std::vector<unsigned char> image = kivtest::Bmp32FromRows(16, 8, pixels);
    CKivSkinStore::DeleteAtlas();
    CKivSkinStore::CreateAtlas(image.data(), image.size());
}

// What the host window saw of its statics.
struct HostLog
{
    int drawItems = 0;
    COLORREF staticText = CLR_INVALID;  // set on WM_CTLCOLORSTATIC when valid
    // A control the host draws on from its own WM_PAINT, through GetDC, as
    // the colour dialog draws its swatches onto empty statics.
    HWND drawOn = nullptr;
    COLORREF drawColour = CLR_INVALID;
};
HostLog g_log;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DRAWITEM)
    {
        ++g_log.drawItems;
        return TRUE;
    }
    if (message == WM_PAINT && g_log.drawOn != nullptr)
    {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        const HDC dc = GetDC(g_log.drawOn);
        RECT inner = {};
        GetClientRect(g_log.drawOn, &inner);
        InflateRect(&inner, -2, -2);
        CKivBrush brush(CreateSolidBrush(g_log.drawColour));
        FillRect(dc, &inner, brush);
        ReleaseDC(g_log.drawOn, dc);
        return 0;
    }
    if (message == WM_CTLCOLORSTATIC && g_log.staticText != CLR_INVALID)
    {
        SetTextColor(reinterpret_cast<HDC>(wParam), g_log.staticText);
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A top-level window in the foreground, itself unskinned except for the
// plain base skin that hands its children's notifications back to them.
// Controls made through it are created with the engine's hook running.
class Host
{
public:
    Host()
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        m_window = kivtest::CreateForegroundHost(L"KivStaticsTestHost", HostProc, kDialog, L"statics", 520, 360);
        m_parentSkin = std::make_unique<CKivWnd>();
        m_parentSkin->Attach(m_window);
        ParkCursor();
        kivtest::PumpPending();
        g_log = HostLog();
    }
    ~Host()
    {
        DestroyWindow(m_window);
        kivtest::PumpPending();
        m_parentSkin.reset();
    }
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    HWND Window() const { return m_window; }

    // A control created while the hook runs, shown once painted.
    HWND Control(const wchar_t* cls, DWORD style, const wchar_t* text, int x, int y, int width, int height)
    {
        CKivEngine& engine = CKivEngine::Instance();
        const bool ran = engine.Run() != FALSE;
        const HWND control =
            CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, m_window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(++m_nextId)), GetModuleHandleW(nullptr),
                            nullptr);
        if (ran)
            engine.Stop();
        kivtest::PumpPending();
        return control;
    }
    // Sizes a control so that its client area is width x height.
    static void SizeClient(HWND control, int width, int height)
    {
        RECT window = {};
        RECT client = {};
        GetWindowRect(control, &window);
        GetClientRect(control, &client);
        SetWindowPos(control, nullptr, 0, 0, width + (window.right - window.left) - client.right,
                     height + (window.bottom - window.top) - client.bottom, SWP_NOMOVE | SWP_NOZORDER);
        kivtest::PumpPending();
    }

    // The pixel the screen shows at a client point of the control.
    COLORREF Pixel(HWND control, int x, int y) const { return kivtest::PixelUnder(m_window, control, x, y); }
    bool PumpUntilPixel(HWND control, int x, int y, COLORREF expected) const
    {
        return kivtest::PumpUntil([&] { return Pixel(control, x, y) == expected; }, 3000);
    }
    // Client pixels of the control (within area) that match.
    int CountPixels(HWND control, const RECT& area, const std::function<bool(COLORREF)>& match) const
    {
        kivtest::Canvas canvas(area.right - area.left, area.bottom - area.top, 0);
        kivtest::SnapshotUnder(m_window, control, POINT{area.left, area.top}, canvas);
        int count = 0;
        for (int y = 0; y < canvas.Height(); ++y)
            for (int x = 0; x < canvas.Width(); ++x)
                count += match(canvas.Pixel(x, y)) ? 1 : 0;
        return count;
    }
    void ParkCursor() const { kivtest::MoveCursorTo(m_window, 500, 340); }

private:
    HWND m_window = nullptr;
    int m_nextId = 100;
    std::unique_ptr<CKivWnd> m_parentSkin;
};

bool IsText(COLORREF colour)
{
    return colour != kDialog;
}

const RECT kAll = {0, 0, 200, 60};

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return SendMessageW(window, message, wParam, lParam);
}

// A progress bar of the host, skinned.
HWND SkinnedProgress(Host& host)
{
    const HWND bar = host.Control(PROGRESS_CLASSW, 0, nullptr, 10, 10, 204, 20);
    REQUIRE(dynamic_cast<CKivProgressBar*>(CKivWnd::FromHandle(bar)) != nullptr);
    return bar;
}

}  // namespace

TEST_CASE("progress bar answers as the common control does, from the control's defaults")
{
    InstallSkin();
    Host host;
    const HWND bar = SkinnedProgress(host);

    SUBCASE("defaults 0..100, step 10; setters answer the previous value and clamp to the range")
    {
        CHECK(Send(bar, PBM_GETRANGE, TRUE) == 0);
        CHECK(Send(bar, PBM_GETRANGE, FALSE) == 100);
        CHECK(Send(bar, PBM_GETPOS) == 0);
        CHECK(Send(bar, PBM_STEPIT) == 0);
        CHECK(Send(bar, PBM_GETPOS) == 10);
        CHECK(Send(bar, PBM_SETSTEP, 5) == 10);
        CHECK(Send(bar, PBM_SETPOS, 30) == 10);
        CHECK(Send(bar, PBM_SETPOS, 150) == 30);
        CHECK(Send(bar, PBM_GETPOS) == 100);
        CHECK(Send(bar, PBM_SETPOS, static_cast<WPARAM>(-5)) == 100);
        CHECK(Send(bar, PBM_GETPOS) == 0);
        CHECK(Send(bar, PBM_DELTAPOS, 25) == 0);
        CHECK(Send(bar, PBM_STEPIT) == 25);
        CHECK(Send(bar, PBM_GETPOS) == 30);
        CHECK(Send(bar, WM_USER + 13) == 5);  // PBM_GETSTEP
    }
    SUBCASE("detached, the control answers as it did")
    {
        Send(bar, PBM_SETRANGE32, 5, 80);
        Send(bar, PBM_SETSTEP, 7);
        Send(bar, PBM_SETPOS, 33);
        CKivWnd* skin = CKivWnd::FromHandle(bar);
        REQUIRE(skin != nullptr);
        CHECK(skin->Detach());
        CHECK(CKivWnd::FromHandle(bar) == nullptr);
        CHECK(Send(bar, PBM_GETPOS) == 33);
        CHECK(Send(bar, PBM_GETRANGE, TRUE) == 5);
        CHECK(Send(bar, PBM_GETRANGE, FALSE) == 80);
        CHECK(Send(bar, PBM_STEPIT) == 33);
        CHECK(Send(bar, PBM_GETPOS) == 40);
    }
    SUBCASE("a range change answers the old range and never leaves the position outside the new one")
    {
        Send(bar, PBM_SETPOS, 40);
        CHECK(Send(bar, PBM_SETRANGE32, 200, 300) == MAKELONG(0, 100));
        CHECK(Send(bar, PBM_GETPOS) == 200);
        PBRANGE range = {static_cast<int>(0xdeadbeef), static_cast<int>(0xdeadbeef)};
        CHECK(Send(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)) == 200);
        CHECK(range.iLow == 200);
        CHECK(range.iHigh == 300);
        CHECK(Send(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range)) == 300);
        // PBM_SETRANGE takes two unsigned words.
        CHECK(Send(bar, PBM_SETRANGE, 0, MAKELPARAM(10, 60000)) == MAKELONG(200, 300));
        CHECK(Send(bar, PBM_GETRANGE, FALSE) == 60000);
        CHECK(Send(bar, PBM_GETPOS) == 200);
        // The old range in the low 32 bits, as the control packs it.
        CHECK(static_cast<DWORD>(Send(bar, PBM_SETRANGE32, 0, 50)) == static_cast<DWORD>(MAKELONG(10, 60000)));
        CHECK(Send(bar, PBM_GETPOS) == 50);
    }
    SUBCASE("steps wrap within the range and extreme ranges answer as an unskinned bar does")
    {
        const HWND plain = CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE, 10, 40, 204, 20,
                                           host.Window(), nullptr, GetModuleHandleW(nullptr), nullptr);
        REQUIRE(CKivWnd::FromHandle(plain) == nullptr);
        struct Call
        {
            UINT message;
            WPARAM wParam;
            LPARAM lParam;
        };
        const Call calls[] = {
            {PBM_SETPOS, 50, 0}, {PBM_SETSTEP, static_cast<WPARAM>(-30), 0}, {PBM_STEPIT, 0, 0},
            {PBM_STEPIT, 0, 0}, {PBM_GETPOS, 0, 0}, {PBM_SETSTEP, 70, 0}, {PBM_STEPIT, 0, 0}, {PBM_STEPIT, 0, 0},
            {PBM_GETPOS, 0, 0}, {PBM_SETRANGE32, 3, 15}, {PBM_SETSTEP, 50, 0}, {PBM_STEPIT, 0, 0}, {PBM_GETPOS, 0, 0},
            {PBM_SETRANGE32, 5, 5}, {PBM_STEPIT, 0, 0}, {PBM_GETPOS, 0, 0}, {PBM_SETRANGE32, 10, 5},
            {PBM_SETSTEP, 2, 0}, {PBM_STEPIT, 0, 0}, {PBM_GETPOS, 0, 0},
            {PBM_SETRANGE32, static_cast<WPARAM>(INT_MIN), INT_MAX}, {PBM_GETRANGE, TRUE, 0}, {PBM_GETPOS, 0, 0},
            {PBM_SETPOS, INT_MAX - 1, 0}, {PBM_DELTAPOS, 10, 0}, {PBM_GETPOS, 0, 0},
            {PBM_DELTAPOS, static_cast<WPARAM>(INT_MIN), 0}, {PBM_GETPOS, 0, 0},
            {PBM_SETSTEP, static_cast<WPARAM>(INT_MIN), 0}, {PBM_STEPIT, 0, 0}, {PBM_GETPOS, 0, 0}};
        int index = 0;
        for (const Call& call : calls)
        {
            CAPTURE(index++);
            CHECK(Send(bar, call.message, call.wParam, call.lParam) == Send(plain, call.message, call.wParam, call.lParam));
        }
    }
    SUBCASE("fill lengths")
    {
        // Fill lengths stay exact where max - min + 1 leaves 32 bits.
        CHECK(CKivDirectProgress::FillLength(INT_MIN, INT_MAX, 0, 200) == 101);
        CHECK(CKivDirectProgress::FillLength(INT_MIN, INT_MAX, INT_MIN, 200) == 1);
        CHECK(CKivDirectProgress::FillLength(INT_MIN, INT_MAX, INT_MAX - 1, 200) == 200);
        CHECK(CKivDirectProgress::FillLength(5, 1, 3, 200) == 0);
        CHECK(CKivDirectProgress::FillLength(0, 100, 50, 0) == 0);
    }
}

namespace {

// What a host's own subclass over a progress bar sees of its repaints.
struct PaintWatch
{
    static WNDPROC& Previous()
    {
        static WNDPROC previous = nullptr;
        return previous;
    }
    static RECT& PaintRect()
    {
        static RECT rect = {};
        return rect;
    }
    static bool& Erased()
    {
        static bool erased = false;
        return erased;
    }
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_PAINT)
            GetUpdateRect(window, &PaintRect(), FALSE);
        else if (message == WM_ERASEBKGND)
            Erased() = true;
        return CallWindowProcW(Previous(), window, message, wParam, lParam);
    }
};

}  // namespace

TEST_CASE("progress bar repaints through the control's own WM_PAINT, with an erase when the position goes back")
{
    InstallSkin();
    Host host;
    const HWND bar = SkinnedProgress(host);
    PaintWatch::Previous() =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PaintWatch::Proc)));
    Send(bar, PBM_SETPOS, 0);
    UpdateWindow(bar);
    RECT client = {};
    GetClientRect(bar, &client);

    PaintWatch::Erased() = false;
    SetRectEmpty(&PaintWatch::PaintRect());
    Send(bar, PBM_SETPOS, 10);
    CHECK(EqualRect(&PaintWatch::PaintRect(), &client));
    UpdateWindow(bar);
    CHECK_FALSE(PaintWatch::Erased());

    PaintWatch::Erased() = false;
    SetRectEmpty(&PaintWatch::PaintRect());
    Send(bar, PBM_SETPOS, 0);
    CHECK(EqualRect(&PaintWatch::PaintRect(), &client));
    UpdateWindow(bar);
    CHECK(PaintWatch::Erased());
    SetWindowLongPtrW(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PaintWatch::Previous()));
}

TEST_CASE("progress fill pixels")
{
    InstallSkin();
    Host host;

    SUBCASE("a fresh bar is empty; 0..100 at 50 on 202 pixels fills x 1 to 100; a resize follows")
    {
        const HWND bar = host.Control(PROGRESS_CLASSW, 0, nullptr, 10, 10, 210, 20);
        host.SizeClient(bar, 202, 16);
        RECT client = {};
        GetClientRect(bar, &client);
        REQUIRE(client.right == 202);
        for (int x : {1, 50, 101, 200})
            CHECK(host.Pixel(bar, x, 8) == kWhite);
        CHECK(Send(bar, PBM_SETPOS, 50) == 0);
        CHECK(host.PumpUntilPixel(bar, 1, 8, kFill));
        CHECK(host.Pixel(bar, 100, 8) == kFill);
        CHECK(host.Pixel(bar, 1, 1) == kFill);
        CHECK(host.Pixel(bar, 1, 14) == kFill);
        CHECK(host.Pixel(bar, 0, 8) == kWhite);
        CHECK(host.Pixel(bar, 101, 8) == kWhite);
        CHECK(host.Pixel(bar, 50, 0) == kWhite);
        CHECK(host.Pixel(bar, 50, 15) == kWhite);
        // 302 pixels: ceil(51 * 302 / 101) = 153, inset to x 1..151.
        host.SizeClient(bar, 302, 16);
        CHECK(host.PumpUntilPixel(bar, 151, 8, kFill));
        CHECK(host.Pixel(bar, 152, 8) == kWhite);
        CHECK(host.Pixel(bar, 300, 8) == kWhite);
        // A range change empties the bar until a position is set.
        Send(bar, PBM_SETRANGE32, 0, 10);
        CHECK(host.PumpUntilPixel(bar, 1, 8, kWhite));
        Send(bar, PBM_SETPOS, 10);
        CHECK(host.PumpUntilPixel(bar, 300, 8, kFill));
        CHECK(host.Pixel(bar, 1, 8) == kFill);
    }
    SUBCASE("the client area after the control's own edge is the bar, repainted whole")
    {
        const HWND bar = host.Control(PROGRESS_CLASSW, 0, nullptr, 10, 10, 120, 20);
        RECT client = {};
        GetClientRect(bar, &client);
        Send(bar, PBM_SETPOS, 100);
        CHECK(host.PumpUntilPixel(bar, client.right - 2, client.bottom / 2, kFill));
        CHECK(host.Pixel(bar, client.right - 1, client.bottom / 2) == kWhite);
        InvalidateRect(bar, nullptr, TRUE);
        kivtest::PumpPending();
        CHECK(host.Pixel(bar, client.right - 2, client.bottom / 2) == kFill);
    }
    SUBCASE("the control's border and edge stay the system's")
    {
        const HWND bar = host.Control(PROGRESS_CLASSW, WS_BORDER, nullptr, 10, 10, 120, 20);
        RECT window = {};
        RECT client = {};
        GetWindowRect(bar, &window);
        GetClientRect(bar, &client);
        CHECK(client.right < window.right - window.left);
        POINT corner = {window.left, window.top + 10};
        ScreenToClient(host.Window(), &corner);
        const HDC dc = GetDC(host.Window());
        const COLORREF edge = GetPixel(dc, corner.x, corner.y);
        ReleaseDC(host.Window(), dc);
        CHECK(edge != kWhite);
        CHECK(edge != kDialog);
    }
    SUBCASE("a vertical bar fills from the bottom")
    {
        const HWND bar = host.Control(PROGRESS_CLASSW, PBS_VERTICAL, nullptr, 10, 40, 24, 110);
        host.SizeClient(bar, 20, 101);
        Send(bar, PBM_SETPOS, 50);
        // ceil(51 * 101 / 101) = 51 rows from the bottom, inset: y 51..99.
        CHECK(host.PumpUntilPixel(bar, 10, 99, kFill));
        CHECK(host.Pixel(bar, 10, 51) == kFill);
        CHECK(host.Pixel(bar, 10, 50) == kWhite);
        CHECK(host.Pixel(bar, 10, 100) == kWhite);
        CHECK(host.Pixel(bar, 10, 5) == kWhite);
    }
    SUBCASE("the skin's picture fills when enabled; an empty picture falls back to the colour")
    {
        InstallSkin(1);
        const HWND pictured = host.Control(PROGRESS_CLASSW, 0, nullptr, 10, 10, 120, 20);
        InstallSkin(1, RECT{});
        const HWND plain = host.Control(PROGRESS_CLASSW, 0, nullptr, 10, 40, 120, 20);
        Send(pictured, PBM_SETPOS, 60);
        Send(plain, PBM_SETPOS, 60);
        CHECK(host.PumpUntilPixel(pictured, 5, 8, kFillPicture));
        CHECK(host.PumpUntilPixel(plain, 5, 8, kFill));
    }
    SUBCASE("marquee bars keep the system look")
    {
        const HWND bar = host.Control(PROGRESS_CLASSW, PBS_MARQUEE, nullptr, 10, 10, 120, 20);
        CHECK(CKivWnd::FromHandle(bar) == nullptr);
    }
}

TEST_CASE("text statics draw the control's own layout over the dialog background")
{
    InstallSkin();
    Host host;

    SUBCASE("a new text leaves no pixel of the old one")
    {
        const HWND label = host.Control(L"STATIC", SS_LEFT, L"WWWWWWWWWWWWWW", 10, 10, 200, 20);
        REQUIRE(dynamic_cast<CKivStatic*>(CKivWnd::FromHandle(label)) != nullptr);
        const RECT tail = {30, 0, 200, 20};
        REQUIRE(host.CountPixels(label, tail, IsText) > 20);
        SetWindowTextW(label, L"i");
        kivtest::PumpPending();
        CHECK(host.CountPixels(label, tail, IsText) == 0);
        CHECK(host.CountPixels(label, RECT{0, 0, 30, 20}, IsText) > 0);
    }
    SUBCASE("word wrap shows the second line; no-wrap statics keep one line")
    {
        const HWND wrapped = host.Control(L"STATIC", SS_LEFT, L"alpha beta gamma delta", 10, 10, 70, 60);
        const HWND single = host.Control(L"STATIC", SS_LEFTNOWORDWRAP, L"alpha beta gamma delta", 10, 80, 70, 60);
        const RECT secondLine = {0, 20, 70, 36};
        CHECK(host.CountPixels(wrapped, secondLine, IsText) > 10);
        CHECK(host.CountPixels(single, RECT{0, 0, 70, 18}, IsText) > 10);
        CHECK(host.CountPixels(single, secondLine, IsText) == 0);
    }
    SUBCASE("alignment follows the style")
    {
        const HWND right = host.Control(L"STATIC", SS_RIGHT, L"ab", 10, 10, 200, 20);
        const HWND centre = host.Control(L"STATIC", SS_CENTER, L"ab", 10, 40, 200, 20);
        CHECK(host.CountPixels(right, RECT{0, 0, 170, 20}, IsText) == 0);
        CHECK(host.CountPixels(right, RECT{170, 0, 200, 20}, IsText) > 0);
        CHECK(host.CountPixels(centre, RECT{0, 0, 80, 20}, IsText) == 0);
        CHECK(host.CountPixels(centre, RECT{80, 0, 120, 20}, IsText) > 0);
    }
    SUBCASE("the parent's text colour and brush are kept; disabled text is grey")
    {
        g_log.staticText = kRed;
        const HWND label = host.Control(L"STATIC", SS_LEFT, L"MMMMMM", 10, 10, 200, 20);
        auto isRed = [](COLORREF c) { return c == kRed; };
        CHECK(host.CountPixels(label, kAll, isRed) > 10);
        // The parent's own brush fills around the text, as the system's static fills it.
        CHECK(host.Pixel(label, 190, 10) == kWhite);
        g_log.staticText = CLR_INVALID;
        InvalidateRect(label, nullptr, TRUE);
        kivtest::PumpPending();
        CHECK(host.CountPixels(label, kAll, isRed) == 0);
        const COLORREF normal = CKivTextContrast::Current().dialogText;
        CHECK(host.CountPixels(label, kAll, [&](COLORREF c) { return c == normal; }) > 10);
        EnableWindow(label, FALSE);
        kivtest::PumpPending();
        CHECK(host.CountPixels(label, kAll, [&](COLORREF c) { return c == normal; }) == 0);
        // Grey: equal red, green and blue between black and white.
        auto isGrey = [](COLORREF c) {
            return c != kDialog && GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c) && GetRValue(c) > 40 &&
                   GetRValue(c) < 215;
        };
        CHECK(host.CountPixels(label, kAll, isGrey) > 10);
    }
    SUBCASE("with the skin's switch off the control paints itself")
    {
        CKivSkinStore::Settings().staticTextTransparent = 0;
        const HWND label = host.Control(L"STATIC", SS_LEFT, L"ab", 10, 10, 200, 20);
        REQUIRE(CKivWnd::FromHandle(label) != nullptr);
        // The system's static fills with the brush the parent's default answer gives.
        CHECK(host.PumpUntilPixel(label, 190, 10, GetSysColor(COLOR_BTNFACE)));
        CKivSkinStore::Settings().staticTextTransparent = 1;
        InvalidateRect(label, nullptr, TRUE);
        CHECK(host.PumpUntilPixel(label, 190, 10, kDialog));
    }
    SUBCASE("owner-draw, rectangle, frame and etched statics paint themselves")
    {
        const HWND owner = host.Control(L"STATIC", SS_OWNERDRAW, L"", 10, 10, 60, 20);
        CHECK(CKivWnd::FromHandle(owner) == nullptr);
        InvalidateRect(owner, nullptr, TRUE);
        CHECK(kivtest::PumpUntil([] { return g_log.drawItems > 0; }, 3000));
        for (DWORD type : {SS_BLACKRECT, SS_GRAYFRAME, SS_ETCHEDHORZ, SS_ETCHEDFRAME, SS_ENHMETAFILE})
        {
            CAPTURE(type);
            CHECK(CKivWnd::FromHandle(host.Control(L"STATIC", type, L"", 10, 40, 60, 20)) == nullptr);
        }
    }
}

TEST_CASE("what the parent draws on a static from outside its paint stays after the static repaints")
{
    InstallSkin();
    Host host;
    const COLORREF ink = RGB(20, 90, 230);
    struct Case
    {
        DWORD style;
        const wchar_t* text;
    };
    for (const Case& c : {Case{SS_SIMPLE, L""}, Case{SS_LEFT, L""}, Case{SS_SIMPLE, L"ii"}})
    {
        CAPTURE(c.style);
        CAPTURE(wcslen(c.text));
        const HWND target = host.Control(L"STATIC", c.style, c.text, 10, 10, 120, 40);
        REQUIRE(dynamic_cast<CKivStatic*>(CKivWnd::FromHandle(target)) != nullptr);
        g_log.drawOn = target;
        g_log.drawColour = ink;
        // The whole dialog repaints: its own WM_PAINT draws on the static,
        // then the static paints.
        RedrawWindow(host.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        kivtest::PumpPending();
        CHECK(host.Pixel(target, 60, 30) == ink);
        CHECK(host.Pixel(target, 110, 5) == ink);
        // Only the static repaints: the drawing is still there.
        RedrawWindow(target, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        kivtest::PumpPending();
        CHECK(host.Pixel(target, 60, 30) == ink);
        g_log.drawOn = nullptr;
        DestroyWindow(target);
    }
}

namespace {

// A 16x8 bitmap: black on the left half, the colour on the right half.
HBITMAP HalfBlackBitmap(COLORREF colour)
{
    std::vector<DWORD> rows(16 * 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            rows[static_cast<size_t>(y) * 16 + x] =
                x < 8 ? 0 : (static_cast<DWORD>(GetRValue(colour)) << 16 | GetGValue(colour) << 8 | GetBValue(colour));
    return CreateBitmap(16, 8, 1, 32, rows.data());
}

}  // namespace

TEST_CASE("picture statics: black pixels show the dialog background; no image draws only the background")
{
    InstallSkin();
    Host host;
    const COLORREF green = RGB(30, 200, 60);
    CKivBitmap image(HalfBlackBitmap(green));

    SUBCASE("the control takes the bitmap's size")
    {
        const HWND picture = host.Control(L"STATIC", SS_BITMAP, nullptr, 10, 10, 40, 30);
        REQUIRE(dynamic_cast<CKivPictureControl*>(CKivWnd::FromHandle(picture)) != nullptr);
        CHECK(host.CountPixels(picture, RECT{0, 0, 40, 30}, IsText) == 0);
        Send(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image.Get()));
        CHECK(host.PumpUntilPixel(picture, 12, 3, green));
        CHECK(host.Pixel(picture, 3, 3) == kDialog);
        CHECK(host.Pixel(picture, 3, 7) == kDialog);
        Send(picture, STM_SETIMAGE, IMAGE_BITMAP, 0);
        CHECK(host.PumpUntilPixel(picture, 12, 3, kDialog));
    }
    SUBCASE("a centred bitmap keeps its natural size inside a larger control")
    {
        const HWND picture = host.Control(L"STATIC", SS_BITMAP | SS_CENTERIMAGE, nullptr, 10, 10, 40, 30);
        Send(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image.Get()));
        RECT client = {};
        GetClientRect(picture, &client);
        REQUIRE(client.right == 40);
        // (40 - 16) / 2 = 12, (30 - 8) / 2 = 11.
        CHECK(host.PumpUntilPixel(picture, 12 + 12, 11 + 3, green));
        CHECK(host.Pixel(picture, 12 + 3, 11 + 3) == kDialog);
        CHECK(host.Pixel(picture, 12 + 17, 11 + 3) == kDialog);
        CHECK(host.Pixel(picture, 12 + 12, 11 + 9) == kDialog);
        CHECK(host.Pixel(picture, 2, 2) == kDialog);
    }
}

namespace {

POINT ThumbCentre(HWND slider)
{
    RECT thumb = {};
    SendMessageW(slider, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    return POINT{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
}

}  // namespace

TEST_CASE("trackbar thumb at rest, hovered and dragged; channel and background flat")
{
    InstallSkin();
    Host host;
    const HWND slider = host.Control(TRACKBAR_CLASSW, TBS_HORZ | TBS_AUTOTICKS, nullptr, 20, 20, 300, 40);
    CKivSliderControl* skin = dynamic_cast<CKivSliderControl*>(CKivWnd::FromHandle(slider));
    REQUIRE(skin != nullptr);
    Send(slider, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
    Send(slider, TBM_SETPOS, TRUE, 2);
    kivtest::PumpPending();
    POINT centre = ThumbCentre(slider);
    CHECK(host.PumpUntilPixel(slider, centre.x, centre.y, kThumbDefault));
    RECT channel = {};
    Send(slider, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    CHECK(host.Pixel(slider, 290, (channel.top + channel.bottom) / 2) == kChannel);
    CHECK(host.Pixel(slider, 1, 1) == kDialog);

    kivtest::MoveCursorTo(slider, centre.x, centre.y);
    CHECK(host.PumpUntilPixel(slider, centre.x, centre.y, kThumbHot));
    CHECK(skin->Thumb() == CKivSliderControl::ThumbHot);

    kivtest::SendLeftButton(true);
    CHECK(host.PumpUntilPixel(slider, centre.x, centre.y, kThumbSelect));
    CHECK(GetCapture() == slider);
    for (int x = centre.x + 10; x <= centre.x + 150; x += 10)
        kivtest::SendMouseTo(slider, x, centre.y);
    CHECK(kivtest::PumpUntil([&] { return Send(slider, TBM_GETPOS) > 4; }, 3000));
    centre = ThumbCentre(slider);
    CHECK(host.PumpUntilPixel(slider, centre.x, centre.y, kThumbSelect));
    kivtest::SendLeftButton(false);
    CHECK(kivtest::PumpUntil([&] { return GetCapture() != slider; }, 3000));
    CHECK(skin->Thumb() != CKivSliderControl::ThumbSelected);
    // The thumb snapped to a step, maybe away from the cursor: hover it again.
    centre = ThumbCentre(slider);
    kivtest::MoveCursorTo(slider, centre.x, centre.y);
    CHECK(host.PumpUntilPixel(slider, centre.x, centre.y, kThumbHot));

    host.ParkCursor();
    CHECK(host.PumpUntilPixel(slider, centre.x, centre.y, kThumbDefault));
    CHECK(skin->Thumb() == CKivSliderControl::ThumbDefault);
}

TEST_CASE("repeated repaints of every kind hold no GDI objects")
{
    InstallSkin();
    Host host;
    CKivBitmap image(HalfBlackBitmap(RGB(30, 200, 60)));
    const HWND label = host.Control(L"STATIC", SS_CENTER, L"label text that wraps", 10, 10, 80, 40);
    const HWND picture = host.Control(L"STATIC", SS_BITMAP, nullptr, 100, 10, 40, 30);
    Send(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image.Get()));
    const HWND bar = host.Control(PROGRESS_CLASSW, 0, nullptr, 10, 60, 200, 20);
    const HWND slider = host.Control(TRACKBAR_CLASSW, TBS_HORZ, nullptr, 10, 90, 200, 30);
    const HWND controls[] = {label, picture, bar, slider};
    for (HWND control : controls)
        REQUIRE(CKivWnd::FromHandle(control) != nullptr);
    auto round = [&](int i) {
        SetWindowTextW(label, i % 2 ? L"one" : L"label text that wraps");
        Send(bar, PBM_SETPOS, static_cast<WPARAM>(i % 100));
        Send(slider, TBM_SETPOS, TRUE, i % 10);
        for (HWND control : controls)
        {
            InvalidateRect(control, nullptr, TRUE);
            UpdateWindow(control);
        }
    };
    round(0);  // fonts and caches settle in the first round
    kivtest::GdiLeakOracle oracle;
    const long ours = CKivGdiObjectCount::Live();
    const long process = oracle.LiveObjects();
    REQUIRE(process > 0);
    for (int i = 1; i <= 200; ++i)
        round(i);
    CHECK(CKivGdiObjectCount::Live() == ours);
    CHECK(oracle.LiveObjects() == process);
}

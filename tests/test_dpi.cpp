// Skinned frames at other DPIs than 96: the skin's metrics scale with the
// window's DPI, at start (the session's DPI, run in a child process) and when
// the window is told of a new DPI (WM_DPICHANGED).
#include <doctest.h>
#include "CKivDpiScale.h"
#include "CKivFrameWnd.h"
#include "CKivGraphics.h"
#include "CKivSkinStore.h"
#include "KivDpiRun.h"
#include "KivFrameTestHost.h"
#include "KivGdiLeakOracle.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"

using frametest::SkinnedFrame;
using kivtest::Canvas;
using kivtest::ExpectScaled;
namespace skin = kivtest::skin;

namespace {

// Names of child cases carry no commas: the filter would split at them.
const char kFrameAtSessionDpi[] = "child: the frame at the session DPI";

// The test skin's metrics at 96 DPI, with an icon place and a menu bar height of its own.
const int kCaption = 30, kBorder = 4, kButtonWidth = 20, kButtonHeight = 18, kSpace = 2, kBar = 20;
const int kIconX = 3, kIconY = 6, kIconSize = 16;

void InstallScalingSkin()
{
    skin::Install();
    KivSkinSettings& s = CKivSkinStore::Settings();
    s.menuBarHeight = kBar;
    s.menuBarEnableCustom = 1;
    s.captionBarIconX = kIconX;
    s.captionBarIconY = kIconY;
    s.captionBarIconWidth = kIconSize;
    s.captionBarIconHeight = kIconSize;
}

HMENU TwoItemMenu()
{
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_STRING, 1, L"&File");
    AppendMenuW(bar, MF_STRING, 2, L"&Window");
    return bar;
}

int TextWidthAt(const wchar_t* text, int dpi)
{
    // The skin font's description at that DPI, made here rather than taken from the engine.
    HFONT font = CreateFontW(ExpectScaled(15, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, 0, 0, 0, CLEARTYPE_QUALITY,
                             0x20, L"Arial");
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    RECT r = {0, 0, 0, 0};
    DrawTextW(dc, text, -1, &r, DT_SINGLELINE | DT_CALCRECT);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(font);
    return r.right - r.left;
}

// Everything the frame answers, against the test skin's metrics scaled to dpi.
void CheckFrameAt(SkinnedFrame& f, int dpi)
{
    CAPTURE(dpi);
    auto S = [dpi](int value) { return ExpectScaled(value, dpi); };
    CKivFrameWnd& frame = f.Frame();
    frame.DrawFrameWnd(0);
    const KivFrameMetrics& m = *frame.Metrics();
    const int W = f.Width(), H = f.Height();
    const int L = S(kBorder), T = S(kBorder), C = S(kCaption), M = S(kBar);
    const int BW = S(kButtonWidth), BH = S(kButtonHeight), SP = S(kSpace);
    CHECK(frame.Dpi() == dpi);
    CHECK(m.dpi == dpi);
    CHECK(m.captionHeight == C);
    CHECK(m.borderLeft == L);
    CHECK(m.borderTop == T);
    CHECK(m.borderRight == S(kBorder));
    CHECK(m.borderBottom == S(kBorder));
    CHECK(m.menuBarHeight == M);
    // Caption buttons: right-aligned in the caption, centred on it.
    const int closeX = W - 2 * SP - BW - S(kBorder), buttonY = C / 2 + T - BH / 2;
    CHECK(m.closeButton.x == closeX);
    CHECK(m.closeButton.y == buttonY);
    CHECK(m.closeButton.width == BW);
    CHECK(m.closeButton.height == BH);
    CHECK(m.maxButton.x == closeX - SP - BW);
    CHECK(m.minButton.x == closeX - 2 * (SP + BW));
    CHECK(m.iconRect.left == S(kIconX) + L);
    CHECK(m.iconRect.top == S(kIconY) + T);
    CHECK(m.iconRect.right - m.iconRect.left == S(kIconSize));

    // The client area lies inside the scaled frame.
    const POINT client = f.ClientOrigin();
    CHECK(client.x == L);
    CHECK(client.y == T + C + M);

    // Hit-testing in the scaled geometry: the last pixel of each border, the
    // first one past it, caption, menu bar, icon and client.
    CHECK(f.HitTest(L - 1, H / 2) == HTLEFT);
    CHECK(f.HitTest(L + 1, H / 2) == HTCLIENT);
    CHECK(f.HitTest(W - S(kBorder), H / 2) == HTRIGHT);
    CHECK(f.HitTest(W / 2, H - S(kBorder)) == HTBOTTOM);
    CHECK(f.HitTest(W / 2, H - S(kBorder) - 1) == HTCLIENT);
    CHECK(f.HitTest(W - 1, H - 1) == HTBOTTOMRIGHT);
    CHECK(f.HitTest(W / 2, T + C - 1) == HTCAPTION);
    CHECK(f.HitTest(W / 2, T + C + 1) == HTMENU);
    CHECK(f.HitTest(W / 2, T + C + M - 1) == HTMENU);
    CHECK(f.HitTest(W / 2, T + C + M + 1) == HTCLIENT);
    CHECK(f.HitTest(m.iconRect.left + S(kIconSize) / 2, m.iconRect.top + S(kIconSize) / 2) == HTSYSMENU);
    CHECK(frame.HitTestButton(f.Screen(closeX + BW - 1, buttonY + BH - 1)) == CKivFrameWnd::CloseButton);
    CHECK(frame.HitTestButton(f.Screen(closeX - SP - 1, buttonY + BH / 2)) == CKivFrameWnd::MaxButton);
    CHECK(frame.HitTestButton(f.Screen(closeX - 2 * (SP + BW) + 1, buttonY + 1)) == CKivFrameWnd::MinButton);

    // Pixels: each button's picture fills its scaled box.
    Canvas canvas(W, H, RGB(1, 2, 3));
    kivtest::PrintWindowTo(f.Window(), canvas);
    CHECK(canvas.Pixel(closeX + 1, buttonY + 1) == skin::SlotColour(skin::CloseDefault));
    CHECK(canvas.Pixel(closeX + BW - 2, buttonY + BH - 2) == skin::SlotColour(skin::CloseDefault));
    CHECK(canvas.Pixel(closeX - SP - BW + 1, buttonY + BH - 2) == skin::SlotColour(skin::MaxDefault));
    const COLORREF left = canvas.Pixel(L - 1, H / 2);
    CHECK((left == skin::SlotColour(skin::BorderLeftActive) || left == skin::SlotColour(skin::BorderLeftDefault)));

    // Menu bar items: as high as the bar, as wide as their text at this DPI plus the scaled room.
    CKivMenuBar& bar = frame.MenuBar();
    bar.RefreshLayout();
    REQUIRE(bar.Items().size() == 2);
    const RECT first = bar.Items()[0].rect, second = bar.Items()[1].rect;
    CHECK(first.left == L + S(CKivMenuBar::kFirstInset));
    CHECK(first.top == T + C);
    CHECK(first.bottom == T + C + M);
    CHECK(first.right - first.left == TextWidthAt(L"File", dpi) + S(CKivMenuBar::kItemSlack) +
                                          2 * S(CKivMenuBar::kTextPadding));
    CHECK(second.left == first.right + S(CKivMenuBar::kItemGap));
    CHECK(second.right - second.left == TextWidthAt(L"Window", dpi) + S(CKivMenuBar::kItemSlack) +
                                            2 * S(CKivMenuBar::kTextPadding));
}

}  // namespace

TEST_CASE("DPI scale: rounding like MulDiv, unit scale untouched")
{
    const CKivDpiScale unit;
    CHECK(unit.IsUnit());
    CHECK(unit.Scale(15) == 15);
    CHECK(unit.Scale(-7) == -7);
    CHECK(CKivDpiScale(0).Dpi() == 96);
    CHECK(CKivDpiScale(-144).Dpi() == 96);
    const CKivDpiScale half(144);
    CHECK_FALSE(half.IsUnit());
    for (int value = -40; value <= 40; ++value)
    {
        CAPTURE(value);
        CHECK(half.Scale(value) == MulDiv(value, 144, 96));
        CHECK(CKivDpiScale(120).Scale(value) == MulDiv(value, 120, 96));
        CHECK(CKivDpiScale(192).Scale(value) == 2 * value);
    }
    CHECK(half.Scale(5) == 8);  // 7.5 rounds up
    CHECK(half.Scale(-5) == -8);
    const RECT r = half.Scale(RECT{2, 4, 6, 9});
    CHECK((r.left == 3 && r.top == 6 && r.right == 9 && r.bottom == 14));
    // The engine reads the DPI the session runs at.
    CHECK(CKivDpiScale::SystemDpi() == CKivDpiScale::DpiOfWindow(GetDesktopWindow()));
}

TEST_CASE("the skin font is made once per DPI, its height scaled")
{
    CHECK(CKivGraphics::GetSkinFontForDpi(0, 96) == CKivGraphics::GetSkinFont(0));
    CHECK(CKivGraphics::GetSkinFontForDpi(1, 96) == CKivGraphics::GetSkinFont(1));
    for (int dpi : {144, 192})
    {
        CAPTURE(dpi);
        const HFONT font = CKivGraphics::GetSkinFontForDpi(0, dpi);
        const HFONT vertical = CKivGraphics::GetSkinFontForDpi(1, dpi);
        REQUIRE(font != nullptr);
        CHECK(font != CKivGraphics::GetSkinFont(0));
        CHECK(font != vertical);
        CHECK(CKivGraphics::GetSkinFontForDpi(0, dpi) == font);
        LOGFONTW info = {};
        REQUIRE(GetObjectW(font, sizeof(info), &info) == sizeof(info));
        CHECK(info.lfHeight == ExpectScaled(15, dpi));
        CHECK(info.lfEscapement == 0);
        REQUIRE(GetObjectW(vertical, sizeof(info), &info) == sizeof(info));
        CHECK(info.lfHeight == ExpectScaled(15, dpi));
        CHECK(info.lfEscapement == -900);
        CHECK(std::wstring(info.lfFaceName) == L"Arial");
    }
}

TEST_CASE("a picture drawn whole at twice the size keeps its transparent corners")
{
    skin::Install();
    const RECT piece = skin::kBlackCorners;  // 16 x 16, 4 x 4 black corners
    Canvas canvas(40, 40, RGB(255, 0, 0));
    REQUIRE(CKivGraphics::StretchBltFromSkinScaled(canvas.DC(), 4, 4, 32, 32, &piece, CKivDpiScale(192)));
    // Corners of 8 x 8 stay the destination's; the rest is the picture, the edge included.
    CHECK(canvas.Pixel(4, 4) == RGB(255, 0, 0));
    CHECK(canvas.Pixel(11, 11) == RGB(255, 0, 0));
    CHECK(canvas.Pixel(35, 35) == RGB(255, 0, 0));
    CHECK(canvas.Pixel(28, 4) == RGB(255, 0, 0));
    CHECK(canvas.Pixel(12, 4) == skin::CornersColour());
    CHECK(canvas.Pixel(20, 20) == skin::CornersColour());
    CHECK(canvas.Pixel(4, 12) == skin::CornersColour());
    CHECK(canvas.Pixel(3, 20) == RGB(255, 0, 0));  // nothing drawn outside the box
    CHECK(canvas.Pixel(36, 20) == RGB(255, 0, 0));
    // At the unit scale it is the ordinary skin blit, pixel for pixel.
    Canvas plain(20, 20, RGB(0, 0, 255)), scaled(20, 20, RGB(0, 0, 255));
    CKivGraphics::StretchBltFromSkin(plain.DC(), 2, 2, 16, 16, &piece);
    CKivGraphics::StretchBltFromSkinScaled(scaled.DC(), 2, 2, 16, 16, &piece, CKivDpiScale(96));
    CHECK(plain.SameAs(scaled));
}

TEST_CASE("frame, caption buttons, hit-testing and menu bar at 96, 144 and 192 DPI")
{
    for (int dpi : {96, 144, 192})
    {
        CAPTURE(dpi);
        CHECK(kivtest::RunAtDpi(dpi, kFrameAtSessionDpi) == 0);
    }
    CHECK(CKivDpiScale::SystemDpi() == 96);
}

TEST_CASE("child: the frame at the session DPI" * doctest::skip())
{
    const int dpi = kivtest::RequestedDpi();
    REQUIRE(dpi > 0);
    // The session really runs at the DPI asked for.
    CHECK(CKivDpiScale::SystemDpi() == dpi);
    InstallScalingSkin();
    {
        SkinnedFrame f(WS_OVERLAPPEDWINDOW, 400, 300, true, TwoItemMenu());
        CHECK(CKivDpiScale::DpiOfWindow(f.Window()) == dpi);
        CheckFrameAt(f, dpi);
        const KivFrameMetrics& m = *f.Frame().Metrics();
        MESSAGE("at " << dpi << " DPI: caption " << m.captionHeight << ", border " << m.borderLeft << ", button "
                      << m.closeButton.width << "x" << m.closeButton.height << ", gap " << m.buttonSpace
                      << ", menu bar " << m.menuBarHeight << ", system scroll bar "
                      << CKivDpiScale::SystemMetric(SM_CXVSCROLL, dpi));
    }
    // Attaching keeps the client size the host asked for at any DPI.
    HWND window = frametest::CreateHost(WS_OVERLAPPEDWINDOW, 40, 40, 320, 240);
    RECT before = {};
    GetClientRect(window, &before);
    {
        CKivFrameWnd frame;
        REQUIRE(frame.Attach(window));
        RECT after = {}, outer = {};
        GetClientRect(window, &after);
        GetWindowRect(window, &outer);
        CHECK(after.right == before.right);
        CHECK(after.bottom == before.bottom);
        CHECK(outer.right - outer.left == before.right + 2 * ExpectScaled(kBorder, dpi));
        CHECK(outer.bottom - outer.top == before.bottom + 2 * ExpectScaled(kBorder, dpi) + ExpectScaled(kCaption, dpi));
        CHECK(frame.Detach());
    }
    DestroyWindow(window);
    kivtest::ConfirmDpiRun();
}

TEST_CASE("WM_DPICHANGED: the frame takes the new scale, size and geometry at once; a skin switch keeps it")
{
    InstallScalingSkin();
    SkinnedFrame f(WS_OVERLAPPEDWINDOW, 400, 300, true, TwoItemMenu());
    const int start = CKivDpiScale::SystemDpi();
    CheckFrameAt(f, start);
    RECT original = {};
    GetWindowRect(f.Window(), &original);

    auto changeTo = [&f](int dpi, RECT suggested) {
        SendMessageW(f.Window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        kivtest::PumpPending();
        RECT now = {};
        GetWindowRect(f.Window(), &now);
        CHECK(EqualRect(&now, &suggested));
    };
    const RECT bigger = {original.left, original.top, original.left + 600, original.top + 450};
    changeTo(192, bigger);
    CheckFrameAt(f, 192);

    // A new skin is measured at the window's scale, not at the session's.
    skin::Install(1);
    InstallScalingSkin();
    f.Frame().OnSkinChanged(CKivSkinStore::Settings());
    CheckFrameAt(f, 192);

    changeTo(144, RECT{original.left, original.top, original.left + 500, original.top + 380});
    CheckFrameAt(f, 144);
    changeTo(start, original);
    CheckFrameAt(f, start);

    // Back and forth between scales costs no GDI objects once each scale was met.
    kivtest::GdiLeakOracle oracle;
    const long before = oracle.LiveObjects();
    for (int round = 0; round < 3; ++round)
    {
        changeTo(192, bigger);
        f.Frame().DrawFrameWnd(1);
        changeTo(start, original);
        f.Frame().DrawFrameWnd(1);
    }
    if (oracle.ReadsHandleTable())
        CHECK(oracle.LiveObjects() == before);
}

TEST_CASE("the shadow's band, leads and zones follow the frame's DPI")
{
    InstallScalingSkin();
    CKivSkinStore::Settings().edgeHideShadow = 0;
    CKivSkinStore::Settings().edgeShadowColor = RGB(0, 0, 255);
    CKivSkinStore::Settings().edgeEnableSizeCtl = 1;
    SkinnedFrame f(WS_OVERLAPPEDWINDOW, 400, 300, true);
    CKivEffectGlowWnd& glow = f.Frame().Glow();
    REQUIRE(glow.Window() != nullptr);
    const int start = CKivDpiScale::SystemDpi();
    for (int dpi : {192, 144, start})
    {
        CAPTURE(dpi);
        RECT frame = {};
        GetWindowRect(f.Window(), &frame);
        SendMessageW(f.Window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&frame));
        kivtest::PumpPending();
        const int band = ExpectScaled(CKivShadowSurface::kUnitBand, dpi);
        CHECK(glow.Band() == band);
        RECT shadow = {};
        GetWindowRect(glow.Window(), &shadow);
        GetWindowRect(f.Window(), &frame);
        CHECK(shadow.left == frame.left - band - 1);
        CHECK(shadow.top == frame.top - band - 1);
        CHECK(shadow.right == frame.right + band);
        CHECK(shadow.bottom == frame.bottom + band);
        // The edge line at the band's inner edge, the fade across the band.
        const CKivShadowSurface& surface = glow.Surface();
        REQUIRE(surface.Width() == shadow.right - shadow.left);
        const int middle = surface.Height() / 2;
        auto alpha = [&surface](int x, int y) { return static_cast<int>(surface.Pixel(x, y) >> 24); };
        CHECK(alpha(band, middle) == CKivShadowSurface::kEdgeAlpha);
        CHECK(alpha(band / 2, middle) == CKivShadowSurface::InnerBandAlpha(band / 2, band));
        CHECK(alpha(band + 1, middle) == 0);
        CHECK(alpha(surface.Width() - 1, middle) == CKivShadowSurface::OuterBandAlpha(band - 1, band));
        // Sizing zones one band deep.
        CHECK(glow.ZoneFromPoint(POINT{shadow.left + band - 1, (shadow.top + shadow.bottom) / 2}) ==
              CKivEffectGlowWnd::LeftZone);
        CHECK(glow.ZoneFromPoint(POINT{shadow.left + band + 1, (shadow.top + shadow.bottom) / 2}) ==
              CKivEffectGlowWnd::NoZone);
    }
    // At 96 DPI the band is the one the shadow always had.
    if (start == 96)
    {
        RECT frame = {};
        GetWindowRect(f.Window(), &frame);
        const RECT unit = CKivEffectGlowWnd::GlowRectFor(frame);
        const RECT own = glow.GlowRect(frame);
        CHECK(EqualRect(&unit, &own));
    }
}

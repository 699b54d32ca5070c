// Control skins at 96, 144 and 192 DPI: every length the skin itself gives
// (arrow buttons, the shortest thumb, outlines, margins) is drawn at the
// window's scale and hit-tested there, while every answer of the control
// stays its own. Each DPI runs in a child process started at that DPI.
#include <doctest.h>
#include <windows.h>
#include <commctrl.h>
#include <cstring>
#include <string>
#include <vector>
#include "CKivDpiScale.h"
#include "CKivEditBox.h"
#include "CKivFrameWnd.h"
#include "CKivGraphics.h"
#include "CKivProgressBar.h"
#include "CKivSkinStore.h"
#include "CKivSysScrollBar.h"
#include "CKivTabCtrl.h"
#include "CKivWindowHelper.h"
#include "CKivCommonLook.h"
#include "KivCommonHost.h"
#include "KivControlTestHost.h"
#include "KivDpiRun.h"
#include "KivFrameTestHost.h"
#include "KivGdiLeakOracle.h"
#include "KivTestSkin.h"
#include "KivTestSupport.h"

using kivtest::Canvas;
using kivtest::ControlHost;
using kivtest::ExpectScaled;
namespace colours = kivtest::controlskin;

namespace {

// Names of child cases carry no commas: the filter would split at them.
const char kScrollBarsAtSessionDpi[] = "child: scroll bars at the session DPI";
const char kProgressAtSessionDpi[] = "child: progress bar at the session DPI";
const char kBarsAtSessionDpi[] = "child: slider and header and tool bar at the session DPI";

const int kId = 700;
// The drawn bar's lengths at 96 DPI.
const int kArrow = 18, kMinThumb = 10, kTriangle = 10;
const COLORREF kProgressFill = RGB(20, 160, 40);

// The triangle on an arrow button: the button's fill with 50 taken from each channel.
COLORREF TriangleOf(COLORREF fill)
{
    auto down = [](int channel) { return channel > 50 ? channel - 50 : 0; };
    return RGB(down(GetRValue(fill)), down(GetGValue(fill)), down(GetBValue(fill)));
}

// The widest row of a colour within rows [top, bottom) of a canvas.
int WidestRun(const Canvas& canvas, int top, int bottom, COLORREF colour)
{
    int widest = 0;
    for (int y = top; y < bottom; ++y)
    {
        int count = 0;
        for (int x = 0; x < canvas.Width(); ++x)
            count += canvas.Pixel(x, y) == colour ? 1 : 0;
        widest = count > widest ? count : widest;
    }
    return widest;
}

// Pixels of a colour along a row (horizontal) or a column of a window's client area, from the screen.
int CountOnScreen(HWND window, POINT from, int steps, bool horizontal, COLORREF colour)
{
    int count = 0;
    for (int i = 0; i < steps; ++i)
        count += kivtest::ScreenPixel(window, from.x + (horizontal ? i : 0), from.y + (horizontal ? 0 : i)) == colour;
    return count;
}

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

// The scroll request one click at a client point of a SCROLLBAR control makes.
int ClickCode(HWND bar, int x, int y)
{
    ControlHost::Clear();
    SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    SendMessageW(bar, WM_LBUTTONUP, 0, At(x, y));
    const std::vector<int> codes = ControlHost::ScrollCodes();
    return codes.empty() ? -1 : codes.front();
}

void RunAtEachDpi(const char* childCase)
{
    for (int dpi : {96, 144, 192})
    {
        CAPTURE(dpi);
        CHECK(kivtest::RunAtDpi(dpi, childCase) == 0);
    }
}

}  // namespace

TEST_CASE("scroll bars at 96, 144 and 192 DPI: arrows, thumb, outline and hit-testing scaled")
{
    RunAtEachDpi(kScrollBarsAtSessionDpi);
}

TEST_CASE("child: scroll bars at the session DPI" * doctest::skip())
{
    const int dpi = kivtest::RequestedDpi();
    REQUIRE(dpi > 0);
    REQUIRE(CKivDpiScale::SystemDpi() == dpi);
    auto S = [dpi](int value) { return ExpectScaled(value, dpi); };
    kivtest::InstallControlSkin();
    ControlHost host(true, 420, 400);

    // A SCROLLBAR control: 40 x 300, range 0..100 at 50, no page.
    const int width = 40, height = 300;
    const HWND bar = host.Control(L"SCROLLBAR", SBS_VERT, 20, 20, width, height, kId, true);
    const HWND plain = host.Control(L"SCROLLBAR", SBS_VERT, 80, 20, width, height, kId + 1, false);
    CKivSysScrollBar* skin = ControlHost::Skin<CKivSysScrollBar>(bar);
    REQUIRE(skin != nullptr);
    for (HWND each : {bar, plain})
    {
        SetScrollRange(each, SB_CTL, 0, 100, TRUE);
        SetScrollPos(each, SB_CTL, 50, TRUE);
    }
    kivtest::PumpPending();
    const int arrow = S(kArrow), track = height - 2 * arrow, thumb = S(kMinThumb);
    const int thumbStart = arrow + (track - thumb) * 50 / 100;
    const CKivDirectScrollBar::Layout layout = skin->Bar().Measure();
    CHECK(layout.arrow == arrow);
    CHECK(layout.track == track);
    CHECK(layout.thumbLength == thumb);
    CHECK(layout.thumbStart == thumbStart);

    // Pixels: outline S(1) wide inside each box, the triangle S(10) across.
    const int line = S(1), middle = width / 2;
    Canvas canvas(width, height, RGB(1, 2, 3));
    SendMessageW(bar, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.DC()), PRF_CLIENT);
    CHECK(canvas.Pixel(line - 1, line + 1) == colours::kBarBorder);
    CHECK(canvas.Pixel(line, line) == colours::kBar);
    CHECK(canvas.Pixel(middle, arrow - line) == colours::kBarBorder);
    CHECK(canvas.Pixel(middle, arrow - line - 1) == colours::kBar);
    CHECK(canvas.Pixel(middle, arrow) == colours::kTrack);
    CHECK(canvas.Pixel(middle, height - arrow - 1) == colours::kTrack);
    CHECK(canvas.Pixel(middle, height - arrow) == colours::kBarBorder);
    CHECK(canvas.Pixel(line, height - arrow + line) == colours::kBar);
    CHECK(canvas.Pixel(middle, thumbStart - 1) == colours::kTrack);
    CHECK(canvas.Pixel(middle, thumbStart + thumb / 2) == colours::kBar);
    CHECK(canvas.Pixel(line - 1, thumbStart + thumb / 2) == colours::kBarBorder);
    CHECK(canvas.Pixel(middle, thumbStart + thumb) == colours::kTrack);
    const int triangle = WidestRun(canvas, 0, arrow, TriangleOf(colours::kBar));
    const int downTriangle = WidestRun(canvas, height - arrow, height, TriangleOf(colours::kBar));
    for (int across : {triangle, downTriangle})
    {
        CHECK(across >= S(kTriangle) - 2);
        CHECK(across <= S(kTriangle) + 1);
    }

    // Clicks answer in the scaled geometry: the last row of an arrow, the
    // first of the track, the thumb's ends.
    CHECK(ClickCode(bar, middle, arrow - 1) == SB_LINEUP);
    CHECK(ClickCode(bar, middle, arrow) == SB_PAGEUP);
    CHECK(ClickCode(bar, middle, height - arrow - 1) == SB_PAGEDOWN);
    CHECK(ClickCode(bar, middle, height - arrow) == SB_LINEDOWN);
    CHECK(ClickCode(bar, middle, thumbStart) == SB_THUMBPOSITION);
    CHECK(skin->Bar().PartAt(POINT{middle, thumbStart + thumb - 1}) == CKivDirectScrollBar::PartThumb);
    CHECK(skin->Bar().PartAt(POINT{middle, thumbStart + thumb}) == CKivDirectScrollBar::PartPageForward);

    // The control's answers are its own: the same as an unskinned bar's.
    SCROLLINFO mine{}, theirs{};
    mine.cbSize = theirs.cbSize = sizeof(SCROLLINFO);
    mine.fMask = theirs.fMask = SIF_ALL;
    CHECK(SendMessageW(bar, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&mine)) != 0);
    CHECK(SendMessageW(plain, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&theirs)) != 0);
    CHECK((mine.nMin == theirs.nMin && mine.nMax == theirs.nMax && mine.nPage == theirs.nPage &&
           mine.nPos == theirs.nPos));
    SCROLLBARINFO skinnedInfo{}, plainInfo{};
    skinnedInfo.cbSize = plainInfo.cbSize = sizeof(SCROLLBARINFO);
    CHECK(SendMessageW(bar, SBM_GETSCROLLBARINFO, 0, reinterpret_cast<LPARAM>(&skinnedInfo)) ==
          SendMessageW(plain, SBM_GETSCROLLBARINFO, 0, reinterpret_cast<LPARAM>(&plainInfo)));
    CHECK(skinnedInfo.dxyLineButton == plainInfo.dxyLineButton);
    CHECK(skinnedInfo.xyThumbTop == plainInfo.xyThumbTop);
    CHECK(skinnedInfo.xyThumbBottom == plainInfo.xyThumbBottom);

    // An edit's own bars: the system's layout at this DPI, the skin's outline scaled.
    std::wstring text;
    for (int i = 0; i < 100; ++i)
        text += L"Line " + std::to_wstring(i) + L"\r\n";
    const HWND edit = host.Control(L"EDIT", WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, 140, 20, 200, 300,
                                   kId + 2, true, text.c_str());
    CKivEditBox* editSkin = ControlHost::Skin<CKivEditBox>(edit);
    REQUIRE(editSkin != nullptr);
    kivtest::PumpPending();
    CKivScrollBarPaint::Geometry geometry;
    RECT place{};
    REQUIRE(editSkin->ScrollBars().Measure(SB_VERT, &geometry, &place));
    const int systemArrow = GetSystemMetrics(SM_CYVSCROLL);
    CHECK(geometry.dpi == dpi);
    CHECK(geometry.arrow == systemArrow);
    CHECK(place.right - place.left == GetSystemMetrics(SM_CXVSCROLL));
    RECT outer{};
    GetWindowRect(edit, &outer);
    Canvas window(outer.right - outer.left, outer.bottom - outer.top, RGB(1, 2, 3));
    RedrawWindow(edit, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    kivtest::PumpPending();
    kivtest::CaptureScreenTo(edit, window);
    CHECK(window.Pixel(place.left + line - 1, place.top + line + 1) == colours::kBarBorder);
    CHECK(window.Pixel(place.left + line, place.top + line) == colours::kBar);
    CHECK(window.Pixel(place.left + line, place.top + systemArrow - line) == colours::kBarBorder);
    // Repaints at this scale hold no GDI objects.
    auto repaint = [&] {
        skin->Bar().Repaint();
        RedrawWindow(edit, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        kivtest::PumpPending();
    };
    repaint();
    kivtest::GdiLeakOracle oracle;
    const long before = oracle.LiveObjects();
    for (int round = 0; round < 20; ++round)
        repaint();
    CHECK(oracle.LiveObjects() == before);
    MESSAGE("at " << dpi << " DPI: system scroll bar " << GetSystemMetrics(SM_CXVSCROLL) << " wide, arrow "
                  << systemArrow << "; drawn bar arrow " << layout.arrow << ", shortest thumb " << layout.thumbLength
                  << ", outline " << line);
    kivtest::ConfirmDpiRun();
}

TEST_CASE("progress bar at 96, 144 and 192 DPI: the margin around the fill scaled, the answers the control's")
{
    RunAtEachDpi(kProgressAtSessionDpi);
}

TEST_CASE("child: progress bar at the session DPI" * doctest::skip())
{
    const int dpi = kivtest::RequestedDpi();
    REQUIRE(dpi > 0);
    const int inset = ExpectScaled(1, dpi);
    KivSkinSettings& s = CKivSkinStore::Settings();
    memset(&s, 0, sizeof(s));
    s.progressControlProgressColor = static_cast<int>(kProgressFill);
    ControlHost host(true, 300, 120);
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    const HWND bar = host.Control(PROGRESS_CLASSW, 0, 10, 10, 206, 30, kId, true);
    const HWND plain = host.Control(PROGRESS_CLASSW, 0, 10, 50, 206, 30, kId + 1, false);
    REQUIRE(ControlHost::Skin<CKivProgressBar>(bar) != nullptr);
    RECT client{};
    GetClientRect(bar, &client);
    REQUIRE(client.right > 100);
    // Answers of the control's own, at every DPI.
    for (HWND each : {bar, plain})
        SendMessageW(each, PBM_SETRANGE32, 0, 100);
    CHECK(SendMessageW(bar, PBM_SETPOS, 50, 0) == SendMessageW(plain, PBM_SETPOS, 50, 0));
    CHECK(SendMessageW(bar, PBM_GETPOS, 0, 0) == SendMessageW(plain, PBM_GETPOS, 0, 0));
    CHECK(SendMessageW(bar, PBM_DELTAPOS, 10, 0) == SendMessageW(plain, PBM_DELTAPOS, 10, 0));
    CHECK(SendMessageW(bar, PBM_GETPOS, 0, 0) == 60);

    // 0..100 at 60: the fill is ceil(61 x width / 101) long, inset on every side.
    const int length = (61 * client.right + 100) / 101;
    Canvas canvas(client.right, client.bottom, RGB(1, 2, 3));
    SendMessageW(bar, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.DC()), PRF_CLIENT);
    const int middle = client.bottom / 2;
    CHECK(canvas.Pixel(inset - 1, middle) == RGB(255, 255, 255));
    CHECK(canvas.Pixel(inset, middle) == kProgressFill);
    CHECK(canvas.Pixel(20, inset - 1) == RGB(255, 255, 255));
    CHECK(canvas.Pixel(20, inset) == kProgressFill);
    CHECK(canvas.Pixel(20, client.bottom - inset - 1) == kProgressFill);
    CHECK(canvas.Pixel(20, client.bottom - inset) == RGB(255, 255, 255));
    CHECK(canvas.Pixel(length - inset - 1, middle) == kProgressFill);
    CHECK(canvas.Pixel(length - inset, middle) == RGB(255, 255, 255));
    kivtest::ConfirmDpiRun();
}

TEST_CASE("a maximised frame hangs over the work area by the style's frame width at the frame's DPI")
{
    kivtest::skin::Install();
    frametest::SkinnedFrame f(WS_OVERLAPPEDWINDOW, 400, 300);
    const int start = CKivDpiScale::SystemDpi();
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(f.Window(), GWL_STYLE));
    RECT unit = {0, 0, 0, 0};
    AdjustWindowRectEx(&unit, style, FALSE, 0);
    // At the session's DPI the system's own answer, as always.
    CHECK(CKivWindowHelper::GetStyleFrameWidth(f.Window()) == -unit.left);
    CHECK(CKivWindowHelper::GetStyleFrameWidth(f.Window(), start) == -unit.left);
    typedef BOOL(WINAPI * AdjustForDpiFn)(LPRECT, DWORD, BOOL, DWORD, UINT);
    const AdjustForDpiFn forDpi = reinterpret_cast<AdjustForDpiFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    for (int dpi : {192, 144})
    {
        CAPTURE(dpi);
        int expected = MulDiv(-unit.left, dpi, start);
        RECT scaled = {0, 0, 0, 0};
        if (forDpi != nullptr && forDpi(&scaled, style, FALSE, 0, static_cast<UINT>(dpi)))
            expected = -scaled.left;
        RECT frame = {};
        GetWindowRect(f.Window(), &frame);
        SendMessageW(f.Window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&frame));
        kivtest::PumpPending();
        CHECK(CKivWindowHelper::GetStyleFrameWidth(f.Window(), dpi) == expected);
        MINMAXINFO info = {};
        SendMessageW(f.Window(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        RECT work = {};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        CHECK(info.ptMaxSize.x == work.right - work.left + 2 * expected);
        CHECK(info.ptMaxPosition.x == work.left - expected);
        ShowWindow(f.Window(), SW_MAXIMIZE);
        kivtest::PumpPending();
        REQUIRE(IsZoomed(f.Window()));
        CHECK(f.Frame().Metrics()->borderLeft == expected);
        CHECK(f.Frame().Metrics()->borderBottom == expected);
        ShowWindow(f.Window(), SW_RESTORE);
        kivtest::PumpPending();
        MESSAGE("maximised frame width at " << dpi << " DPI: " << expected << ", system's per-DPI answer "
                                            << (forDpi != nullptr ? -scaled.left : -1));
    }
}

TEST_CASE("slider, header and tool bar at 96, 144 and 192 DPI: the control's geometry, the skin's lines scaled")
{
    RunAtEachDpi(kBarsAtSessionDpi);
}

TEST_CASE("child: slider and header and tool bar at the session DPI" * doctest::skip())
{
    const int dpi = kivtest::RequestedDpi();
    REQUIRE(dpi > 0);
    auto S = [dpi](int value) { return ExpectScaled(value, dpi); };
    REQUIRE(kivtest::LoadShippedSkin(L"default.kiv"));
    const COLORREF thumbColour = static_cast<COLORREF>(CKivSkinStore::Settings().sliderControlThumbDefault);
    const COLORREF line = CKivCommonLook::Current().line;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    kivtest::CommonHost host(true, 520, 380), plainHost(false, 520, 380);
    // The unskinned controls only answer: their host stays off the screen.
    ShowWindow(plainHost.Window(), SW_HIDE);

    // Slider: the thumb is the control's own rectangle, filled whole.
    const HWND slider = host.Control(TRACKBAR_CLASSW, TBS_HORZ, 10, 10, 300, 60, kId);
    const HWND plainSlider = plainHost.Control(TRACKBAR_CLASSW, TBS_HORZ, 10, 10, 300, 60, kId);
    for (HWND each : {slider, plainSlider})
    {
        SendMessageW(each, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
        SendMessageW(each, TBM_SETPOS, TRUE, 3);
    }
    const RECT thumb = kivtest::AskRect(slider, TBM_GETTHUMBRECT, 0);
    const RECT plainThumb = kivtest::AskRect(plainSlider, TBM_GETTHUMBRECT, 0);
    CHECK(EqualRect(&thumb, &plainThumb));
    CHECK(SendMessageW(slider, TBM_GETTHUMBLENGTH, 0, 0) == SendMessageW(plainSlider, TBM_GETTHUMBLENGTH, 0, 0));
    kivtest::Settle(host.Window());
    CHECK(kivtest::ScreenPixel(slider, thumb.left, thumb.top) == thumbColour);
    CHECK(kivtest::ScreenPixel(slider, thumb.right - 1, thumb.bottom - 1) == thumbColour);
    CHECK(kivtest::ScreenPixel(slider, thumb.left - 1, thumb.top) != thumbColour);
    CHECK(kivtest::ScreenPixel(slider, thumb.right, thumb.bottom - 1) != thumbColour);

    // Header: its height the control's layout; the skin's lines S(1) thick.
    const HWND header = host.Control(WC_HEADERW, HDS_BUTTONS | HDS_HORZ, 10, 90, 420, 24, kId + 1);
    const HWND plainHeader = plainHost.Control(WC_HEADERW, HDS_BUTTONS | HDS_HORZ, 10, 90, 420, 24, kId + 1);
    int headerHeight = 0;
    for (HWND each : {header, plainHeader})
    {
        for (int i = 0; i < 2; ++i)
        {
            HDITEMW item = {};
            item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
            item.pszText = const_cast<wchar_t*>(i == 0 ? L"Name" : L"Size");
            item.cxy = 150;
            item.fmt = HDF_STRING | HDF_LEFT;
            SendMessageW(each, HDM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
        }
        RECT area = {0, 0, 420, 200};
        WINDOWPOS place = {};
        HDLAYOUT layout = {&area, &place};
        REQUIRE(SendMessageW(each, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout)));
        CHECK((headerHeight == 0 || headerHeight == place.cy));
        headerHeight = place.cy;
        SetWindowPos(each, nullptr, 10, 90, place.cx, place.cy, SWP_NOZORDER);
    }
    const RECT first = kivtest::AskRect(header, HDM_GETITEMRECT, 0);
    const RECT plainFirst = kivtest::AskRect(plainHeader, HDM_GETITEMRECT, 0);
    CHECK(EqualRect(&first, &plainFirst));
    kivtest::Settle(host.Window());
    const int middle = (first.top + first.bottom) / 2;
    CHECK(CountOnScreen(header, POINT{first.right - 6, middle}, 6, true, line) == S(1));
    CHECK(kivtest::ScreenPixel(header, first.right - 1, middle) == line);
    CHECK(CountOnScreen(header, POINT{first.left + 100, first.bottom - 6}, 6, false, line) == S(1));
    CHECK(kivtest::ScreenPixel(header, first.left + 100, first.bottom - 1) == line);

    // Tool bar: buttons where the control puts them; the separator's line S(1) wide.
    const HWND bar = host.Control(TOOLBARCLASSNAMEW, TBSTYLE_FLAT | CCS_NORESIZE | CCS_NODIVIDER, 10, 160, 400, 60,
                                  kId + 2);
    const HWND plainBar = plainHost.Control(TOOLBARCLASSNAMEW, TBSTYLE_FLAT | CCS_NORESIZE | CCS_NODIVIDER, 10, 160,
                                            400, 60, kId + 2);
    kivtest::AddToolButtons(bar, false, 300);
    kivtest::AddToolButtons(plainBar, false, 300);
    CHECK(SendMessageW(bar, TB_GETBUTTONSIZE, 0, 0) == SendMessageW(plainBar, TB_GETBUTTONSIZE, 0, 0));
    const RECT separator = kivtest::AskRect(bar, TB_GETITEMRECT, 3);
    const RECT find = kivtest::AskRect(bar, TB_GETITEMRECT, 6);
    const RECT plainFind = kivtest::AskRect(plainBar, TB_GETITEMRECT, 6);
    CHECK(EqualRect(&find, &plainFind));
    kivtest::Settle(host.Window());
    const int across = separator.right - separator.left;
    const int lineRow = (separator.top + separator.bottom) / 2;
    CHECK(CountOnScreen(bar, POINT{separator.left, lineRow}, across, true, line) == S(1));
    CHECK(kivtest::ScreenPixel(bar, (separator.left + separator.right) / 2 - 1, lineRow) == line);
    CHECK(kivtest::ScreenPixel(bar, (separator.left + separator.right) / 2 - 1, separator.top + S(2) - 1) != line);
    CHECK(kivtest::ScreenPixel(bar, (separator.left + separator.right) / 2 - 1, separator.top + S(2)) == line);
    // Tab control: item rectangles the control's own; the overflow button's
    // arrow S(8) across.
    const HWND tabs = host.Control(WC_TABCONTROLW, 0, 10, 240, 200, 100, kId + 3);
    const HWND plainTabs = plainHost.Control(WC_TABCONTROLW, 0, 10, 240, 200, 100, kId + 3);
    for (HWND each : {tabs, plainTabs})
    {
        const wchar_t* names[] = {L"Alpha", L"Bravo", L"Charlie", L"Delta", L"Echo", L"Foxtrot"};
        for (int i = 0; i < 6; ++i)
        {
            TCITEMW item = {};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<wchar_t*>(names[i]);
            SendMessageW(each, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
        }
    }
    const RECT secondTab = kivtest::AskRect(tabs, TCM_GETITEMRECT, 1);
    const RECT plainSecondTab = kivtest::AskRect(plainTabs, TCM_GETITEMRECT, 1);
    CHECK(EqualRect(&secondTab, &plainSecondTab));
    CKivTabCtrl* tabSkin = dynamic_cast<CKivTabCtrl*>(CKivWnd::FromHandle(tabs));
    REQUIRE(tabSkin != nullptr);
    kivtest::Settle(host.Window());
    REQUIRE(tabSkin->Strip().HasHiddenTabs());
    const RECT more = tabSkin->Strip().MoreButton().Bounds();
    const POINT tip = {(more.left + more.right) / 2, (more.top + more.bottom) / 2 - S(2)};
    const COLORREF arrowColour = kivtest::ScreenPixel(tabs, tip.x, tip.y);
    const int arrowWidth = CountOnScreen(tabs, POINT{more.left, tip.y}, more.right - more.left, true, arrowColour);
    CHECK(arrowWidth >= S(8) - 1);
    CHECK(arrowWidth <= S(8) + 1);
    const LRESULT size = SendMessageW(bar, TB_GETBUTTONSIZE, 0, 0);
    MESSAGE("at " << dpi << " DPI: slider thumb " << thumb.right - thumb.left << "x" << thumb.bottom - thumb.top
                  << ", header height " << headerHeight << ", tool bar button " << LOWORD(size) << "x" << HIWORD(size)
                  << ", drop-down button " << find.right - find.left << " wide, tab " << secondTab.right - secondTab.left
                  << "x" << secondTab.bottom - secondTab.top << ", overflow arrow " << arrowWidth);
    kivtest::ConfirmDpiRun();
}

TEST_CASE("a push button picture scaled with its corners kept: corner squares at the scale, edges and middle stretched")
{
    kivtest::skin::Install();
    const RECT grid = kivtest::skin::kGrid10;
    const int corner = 2;
    const CKivDpiScale twice(192);
    const int drawn = ExpectScaled(corner, 192);
    const int width = 60, height = 30;
    auto part = [&grid](int left, int top, int right, int bottom) {
        return RECT{grid.left + left, grid.top + top, grid.left + right, grid.top + bottom};
    };
    Canvas kept(width, height, RGB(1, 2, 3));
    REQUIRE(CKivGraphics::StretchBltFromSkinCorners(kept.DC(), RECT{0, 0, width, height}, &grid, corner, twice));
    // Each piece is the matching part of the picture drawn on its own at its place.
    Canvas pieces(width, height, RGB(1, 2, 3));
    const RECT topLeft = part(0, 0, corner, corner), bottomRight = part(10 - corner, 10 - corner, 10, 10);
    const RECT topEdge = part(corner, 0, 10 - corner, corner), middle = part(corner, corner, 10 - corner, 10 - corner);
    CKivGraphics::StretchBltFromSkinScaled(pieces.DC(), 0, 0, drawn, drawn, &topLeft, twice);
    CKivGraphics::StretchBltFromSkinScaled(pieces.DC(), width - drawn, height - drawn, drawn, drawn, &bottomRight, twice);
    CKivGraphics::StretchBltFromSkinScaled(pieces.DC(), drawn, 0, width - 2 * drawn, drawn, &topEdge, twice);
    CKivGraphics::StretchBltFromSkinScaled(pieces.DC(), drawn, drawn, width - 2 * drawn, height - 2 * drawn, &middle,
                                           twice);
    auto sameIn = [&](int left, int top, int right, int bottom) {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (kept.Pixel(x, y) != pieces.Pixel(x, y))
                    return false;
        return true;
    };
    CHECK(sameIn(0, 0, drawn, drawn));
    CHECK(sameIn(width - drawn, height - drawn, width, height));
    CHECK(sameIn(drawn, 0, width - drawn, drawn));
    CHECK(sameIn(drawn, drawn, width - drawn, height - drawn));
    // Stretched whole, the corner would be three times as wide as it is high.
    Canvas whole(width, height, RGB(1, 2, 3));
    CKivGraphics::StretchBltFromSkinScaled(whole.DC(), 0, 0, width, height, &grid, twice);
    CHECK_FALSE(whole.SameAs(kept));

    // At the unit scale, and where the picture has no room for two corners,
    // the picture is drawn whole as before.
    Canvas plain(width, height, RGB(1, 2, 3)), unit(width, height, RGB(1, 2, 3));
    CKivGraphics::StretchBltFromSkin(plain.DC(), 0, 0, width, height, &grid);
    CKivGraphics::StretchBltFromSkinCorners(unit.DC(), RECT{0, 0, width, height}, &grid, corner, CKivDpiScale(96));
    CHECK(plain.SameAs(unit));
    Canvas noRoom(width, height, RGB(1, 2, 3));
    CKivGraphics::StretchBltFromSkinCorners(noRoom.DC(), RECT{0, 0, width, height}, &grid, 5, twice);
    CHECK(noRoom.SameAs(whole));
}

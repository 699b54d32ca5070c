#include "CKivWindowScrollBars.h"
#include <algorithm>
#include "CKivDpiScale.h"
#include "CKivGdiObject.h"
#include "CKivWindowDC.h"
#include "KivSkinSettings.h"

namespace {

// The system's own timer message, which its tracking loop repeats arrows by.
const UINT kSystemTimer = 0x0118;
// Below this length the system shrinks the arrows and shows no thumb.
const int kShortBar = 4;

// The tracking under way on this thread (one window at a time: the loop is modal).
struct Tracking
{
    CKivWindowScrollBars* bars = nullptr;
    HHOOK hook = nullptr;
};

Tracking& CurrentTracking()
{
    static Tracking tracking;
    return tracking;
}

int IndexOf(int bar)
{
    return bar == SB_VERT ? 0 : 1;
}

}  // namespace

CKivWindowScrollBars::~CKivWindowScrollBars()
{
    if (CurrentTracking().bars == this)
        CurrentTracking().bars = nullptr;
}

void CKivWindowScrollBars::Attach(HWND window)
{
    m_window = window;
}

void CKivWindowScrollBars::Detach()
{
    if (CurrentTracking().bars == this)
        CurrentTracking().bars = nullptr;
    m_window = nullptr;
}

void CKivWindowScrollBars::SetColours(const Colours& vertical, const Colours& horizontal)
{
    m_colours[0] = vertical;
    m_colours[1] = horizontal;
}

void CKivWindowScrollBars::TakeColours(const KivSkinSettings& s)
{
    SetColours(CKivScrollBarPaint::FromKeys(s.vScrollBarSBarColor, s.vScrollBarSBarBorderColor, s.vScrollBarSBarSliderColor,
                                            s.vScrollBarSBarSliderBorderColor, s.vScrollBarSBarBackground),
               CKivScrollBarPaint::FromKeys(s.hScrollBarSBarColor, s.hScrollBarSBarBorderColor, s.hScrollBarSBarSliderColor,
                                            s.hScrollBarSBarSliderBorderColor, s.hScrollBarSBarBackground));
}

void CKivWindowScrollBars::Handle(bool vertical, bool horizontal)
{
    m_vertical = vertical;
    m_horizontal = horizontal;
}

UINT CKivWindowScrollBars::RepaintMessage()
{
    static const UINT message = RegisterWindowMessageW(L"KivWindowScrollBarsRepaint");
    return message;
}

bool CKivWindowScrollBars::Measure(int bar, CKivScrollBarPaint::Geometry* geometry, RECT* windowRect) const
{
    const HWND window = m_window;
    if (window == nullptr || (bar != SB_VERT && bar != SB_HORZ))
        return false;
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    if (!(style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)))
        return false;
    SCROLLBARINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetScrollBarInfo(window, bar == SB_VERT ? OBJID_VSCROLL : OBJID_HSCROLL, &info) ||
        (info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)))
        return false;
    RECT outer = {};
    GetWindowRect(window, &outer);
    RECT place = info.rcScrollBar;
    OffsetRect(&place, -outer.left, -outer.top);
    if (place.right <= place.left || place.bottom <= place.top)
        return false;
    CKivScrollBarPaint::Geometry g;
    g.horizontal = bar == SB_HORZ;
    g.width = place.right - place.left;
    g.height = place.bottom - place.top;
    const int main = g.horizontal ? g.width : g.height;
    // The system lays the bar out at the window's DPI, with the arrow metric of that DPI.
    g.dpi = CKivDpiScale::DpiOfWindow(window);
    const int metric = CKivDpiScale::SystemMetric(g.horizontal ? SM_CXHSCROLL : SM_CYVSCROLL, g.dpi);
    g.arrow = main <= 2 * metric + kShortBar ? std::max(0, (main - kShortBar) / 2) : metric;
    g.backPressed = (info.rgstate[1] & STATE_SYSTEM_PRESSED) != 0;
    g.forwardPressed = (info.rgstate[5] & STATE_SYSTEM_PRESSED) != 0;
    g.thumbPressed = (info.rgstate[3] & STATE_SYSTEM_PRESSED) != 0;
    g.backDisabled = (info.rgstate[1] & STATE_SYSTEM_UNAVAILABLE) != 0;
    g.forwardDisabled = (info.rgstate[5] & STATE_SYSTEM_UNAVAILABLE) != 0;
    // The thumb lies where the system hit-tests it (xyThumbTop and
    // xyThumbBottom count from the bar's start); a disabled bar has none.
    if (!(g.backDisabled && g.forwardDisabled) && info.xyThumbBottom > info.xyThumbTop)
    {
        g.thumbStart = info.xyThumbTop;
        g.thumbLength = info.xyThumbBottom - info.xyThumbTop;
    }
    SCROLLINFO scroll = {};
    scroll.cbSize = sizeof(scroll);
    scroll.fMask = SIF_ALL | SIF_TRACKPOS;
    if (g.thumbPressed && g.thumbLength > 0 && GetScrollInfo(window, bar, &scroll))
    {
        // While the system drags the thumb it shows it at the track position.
        const long long last = static_cast<long long>(scroll.nMax) - std::max<long long>(static_cast<long long>(scroll.nPage) - 1, 0);
        const long long span = last - scroll.nMin;
        const long long room = main - 2LL * g.arrow - g.thumbLength;
        if (span > 0 && room > 0)
        {
            const long long at = std::min<long long>(std::max<long long>(scroll.nTrackPos - scroll.nMin, 0), span);
            g.thumbStart = g.arrow + static_cast<int>(room * at / span);
        }
    }
    if (geometry != nullptr)
        *geometry = g;
    if (windowRect != nullptr)
        *windowRect = place;
    return true;
}

bool CKivWindowScrollBars::Corner(RECT* windowRect) const
{
    RECT vertical = {};
    RECT horizontal = {};
    if (!Measure(SB_VERT, nullptr, &vertical) || !Measure(SB_HORZ, nullptr, &horizontal))
        return false;
    const RECT corner = {vertical.left, horizontal.top, vertical.right, horizontal.bottom};
    if (corner.right <= corner.left || corner.bottom <= corner.top)
        return false;
    if (windowRect != nullptr)
        *windowRect = corner;
    return true;
}

HRGN CKivWindowScrollBars::ClipRegion(WPARAM update) const
{
    if (m_window == nullptr)
        return nullptr;
    RECT outer = {};
    GetWindowRect(m_window, &outer);
    RECT parts[3] = {};
    int count = 0;
    for (int bar : {SB_VERT, SB_HORZ})
        if (Handles(bar) && Measure(bar, nullptr, &parts[count]))
            ++count;
    if (count == 0)
        return nullptr;
    if (Corner(&parts[count]))
        ++count;
    CKivRegion clip(CreateRectRgnIndirect(&outer));
    if (!clip)
        return nullptr;
    if (update > 1)
        CombineRgn(clip, clip, reinterpret_cast<HRGN>(update), RGN_AND);
    for (int i = 0; i < count; ++i)
    {
        RECT part = parts[i];
        OffsetRect(&part, outer.left, outer.top);
        CKivRegion hole(CreateRectRgnIndirect(&part));
        if (hole)
            CombineRgn(clip, clip, hole, RGN_DIFF);
    }
    return clip.Release();
}

void CKivWindowScrollBars::PaintBar(HDC dc, int bar, POINT origin)
{
    CKivScrollBarPaint::Geometry geometry;
    RECT place = {};
    if (!Handles(bar) || !Measure(bar, &geometry, &place))
        return;
    CKivScrollBarPaint::Draw(dc, origin.x + place.left, origin.y + place.top, geometry, m_colours[IndexOf(bar)]);
}

void CKivWindowScrollBars::PaintTo(HDC windowDc)
{
    if (windowDc == nullptr || m_window == nullptr)
        return;
    RECT corner = {};
    if ((m_vertical || m_horizontal) && Corner(&corner))
    {
        CKivBrush fill(CreateSolidBrush(m_colours[m_vertical ? 0 : 1].background));
        if (fill)
            FillRect(windowDc, &corner, fill);
    }
    PaintBar(windowDc, SB_VERT, POINT{0, 0});
    PaintBar(windowDc, SB_HORZ, POINT{0, 0});
}

void CKivWindowScrollBars::Paint()
{
    if (m_window == nullptr || !IsWindowVisible(m_window) ||
        !(GetWindowLongPtrW(m_window, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL)))
        return;
    CKivWindowDC dc(m_window);
    if (dc)
        PaintTo(dc);
}

bool CKivWindowScrollBars::NeverDraws(UINT message)
{
    // Questions the window answers without touching its bars.
    switch (message)
    {
    case WM_NCHITTEST:
    case WM_SETCURSOR:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case WM_GETDLGCODE:
    case WM_GETFONT:
    case WM_GETOBJECT:
    case WM_GETMINMAXINFO:
    case WM_NOTIFYFORMAT:
    case WM_QUERYUISTATE:
    case WM_WINDOWPOSCHANGING:
    case WM_NCCALCSIZE:
    case WM_NCDESTROY:
    case WM_DESTROY: return true;
    default: return false;
    }
}

void CKivWindowScrollBars::AfterMessage(UINT message)
{
    // The owner paints the bars in its own non-client paint and press.
    if (m_window == nullptr || NeverDraws(message) || message == WM_NCPAINT || message == WM_PRINT)
        return;
    // A plain mouse move over the client area scrolls nothing.
    if (message == WM_MOUSEMOVE && GetCapture() != m_window)
        return;
    Paint();
}

LRESULT CKivWindowScrollBars::Around(UINT message, WPARAM wParam, LPARAM lParam, const std::function<LRESULT()>& handle)
{
    if (message == RepaintMessage())
    {
        Paint();
        return 0;
    }
    const HWND window = m_window;
    LRESULT answer = 0;
    if ((message == WM_NCLBUTTONDOWN || message == WM_NCLBUTTONDBLCLK) && IsBarHit(wParam))
        answer = Track(handle);
    else
        answer = handle();
    if (m_window != window)
        return answer;
    if (message == WM_PRINT && (lParam & PRF_NONCLIENT) && wParam != 0)
        PaintTo(reinterpret_cast<HDC>(wParam));
    // The control may have drawn its scroll bars meanwhile.
    AfterMessage(message);
    return answer;
}

LRESULT CKivWindowScrollBars::Track(const std::function<LRESULT()>& pass)
{
    Tracking& tracking = CurrentTracking();
    const Tracking outer = tracking;
    tracking.bars = this;
    tracking.hook = SetWindowsHookExW(WH_MSGFILTER, &CKivWindowScrollBars::MessageFilter, nullptr, GetCurrentThreadId());
    // The loop's first step (the press) draws before it waits for input:
    // this comes out of the queue right after.
    if (m_window != nullptr)
        PostMessageW(m_window, RepaintMessage(), 0, 0);
    const LRESULT result = pass();
    if (tracking.hook != nullptr)
        UnhookWindowsHookEx(tracking.hook);
    tracking = outer;
    Paint();
    return result;
}

LRESULT CALLBACK CKivWindowScrollBars::MessageFilter(int code, WPARAM wParam, LPARAM lParam)
{
    Tracking& tracking = CurrentTracking();
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_SCROLLBAR && message != nullptr && tracking.bars != nullptr &&
        message->hwnd == tracking.bars->m_window && message->hwnd != nullptr)
    {
        if (message->message == RepaintMessage())
        {
            tracking.bars->Paint();
            return 1;  // taken: the loop goes on to the next message
        }
        switch (message->message)
        {
        case WM_MOUSEMOVE:
        case WM_MOUSELEAVE:
        case WM_NCMOUSEMOVE:
        case WM_NCMOUSELEAVE:
        case kSystemTimer:
            // The loop draws its bar for this step; a posted message is
            // fetched before the next input, so the skin's bar follows at once.
            PostMessageW(message->hwnd, RepaintMessage(), 0, 0);
            break;
        default: break;
        }
    }
    return CallNextHookEx(tracking.hook, code, wParam, lParam);
}

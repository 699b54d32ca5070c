#include "CKivSysScrollBar.h"
#include <cstddef>
#include "CKivPaintEntry.h"
#include "KivSkinSettings.h"

namespace {

// Scroll bar styles the drawn bar does not draw.
const LONG_PTR kSizeBoxStyles = SBS_SIZEBOX | SBS_SIZEGRIP;

}  // namespace

BOOL CKivSysScrollBar::Attach(HWND window)
{
    if (window == nullptr || (GetWindowLongPtrW(window, GWL_STYLE) & kSizeBoxStyles))
        return FALSE;
    m_horizontal = !(GetWindowLongPtrW(window, GWL_STYLE) & SBS_VERT);
    if (!CKivWnd::Attach(window))
        return FALSE;
    RECT client{};
    GetClientRect(window, &client);
    m_bar.Init(0, 0, client.right, client.bottom, window);
    m_bar.SetHorizontal(m_horizontal);
    m_bar.SetNotify([this](int code, int position) { OnBarRequest(code, position); });
    Refresh();
    InvalidateRect(window, nullptr, TRUE);
    return TRUE;
}

bool CKivSysScrollBar::Setup(const KivSkinSettings& settings)
{
    if (Window() == nullptr)
        return false;
    TakeColours(settings);
    m_bar.Repaint();
    return true;
}

void CKivSysScrollBar::OnSkinChanged(const KivSkinSettings& settings)
{
    if (Window() != nullptr)
        TakeColours(settings);
}

void CKivSysScrollBar::TakeColours(const KivSkinSettings& settings)
{
    CKivDirectScrollBar::Colours colours;
    colours.bar = static_cast<COLORREF>(m_horizontal ? settings.hScrollBarSBarColor : settings.vScrollBarSBarColor);
    colours.barBorder =
        static_cast<COLORREF>(m_horizontal ? settings.hScrollBarSBarBorderColor : settings.vScrollBarSBarBorderColor);
    colours.slider =
        static_cast<COLORREF>(m_horizontal ? settings.hScrollBarSBarSliderColor : settings.vScrollBarSBarSliderColor);
    colours.sliderBorder = static_cast<COLORREF>(m_horizontal ? settings.hScrollBarSBarSliderBorderColor
                                                              : settings.vScrollBarSBarSliderBorderColor);
    colours.background =
        static_cast<COLORREF>(m_horizontal ? settings.hScrollBarSBarBackground : settings.vScrollBarSBarBackground);
    m_bar.SetColours(colours);
}

LRESULT CKivSysScrollBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Window() == nullptr || PreviousProc() == nullptr)
        return 0;
    switch (message)
    {
    case SBM_SETPOS:
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW:
    case SBM_SETSCROLLINFO:
    case SBM_ENABLE_ARROWS: return OnScrollMessage(message, wParam, lParam);
    case SBM_GETSCROLLINFO: return OnGetScrollInfo(wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_TIMER:
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE: return OnMouse(message, wParam, lParam);
    case WM_PAINT: return OnPaintMessage(reinterpret_cast<HDC>(wParam));
    case WM_PRINTCLIENT: return OnPrintClient(reinterpret_cast<HDC>(wParam));
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
    case WM_ENABLE: return OnSized(message, wParam, lParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return OnFocusChange(message, wParam, lParam);
    default: return CKivWnd::WindowProc(message, wParam, lParam);
    }
}

LRESULT CKivSysScrollBar::OnScrollMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The control keeps the values but must not paint its own look: the
    // redraw flag goes off and the drawn bar shows the result.
    LRESULT answer = 0;
    const HWND window = Window();
    switch (message)
    {
    case SBM_SETPOS: answer = CallPrevious(SBM_SETPOS, wParam, FALSE); break;
    case SBM_SETRANGEREDRAW: answer = CallPrevious(SBM_SETRANGE, wParam, lParam); break;
    case SBM_SETSCROLLINFO:
        answer = CallPrevious(SBM_SETSCROLLINFO, FALSE, lParam);
        if (wParam != 0 && Window() == window)
            FollowArrowState(reinterpret_cast<const SCROLLINFO*>(lParam));
        break;
    default: answer = CallPrevious(message, wParam, lParam); break;
    }
    if (Window() != window)
        return answer;
    Refresh();
    if (message == SBM_ENABLE_ARROWS)
        m_bar.Repaint();
    return answer;
}

void CKivSysScrollBar::FollowArrowState(const SCROLLINFO* info)
{
    // With its redraw flag on, SBM_SETSCROLLINFO for a new range or page
    // also enables a visible control whose arrows it left both enabled, and
    // disables it when both are disabled. The flag went off on the way to
    // the control, so that part is done here, from the arrows the control
    // now reports.
    const HWND window = Window();
    if (info == nullptr || (info->cbSize != sizeof(SCROLLINFO) && info->cbSize != offsetof(SCROLLINFO, nTrackPos)) ||
        !(info->fMask & SIF_ALL) ||
        !(info->fMask & (SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL)) || !IsWindowVisible(window))
        return;
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof(bar);
    if (!CallPrevious(SBM_GETSCROLLBARINFO, 0, reinterpret_cast<LPARAM>(&bar)))
        return;
    const bool upDisabled = (bar.rgstate[1] & STATE_SYSTEM_UNAVAILABLE) != 0;
    const bool downDisabled = (bar.rgstate[5] & STATE_SYSTEM_UNAVAILABLE) != 0;
    if (upDisabled == downDisabled)
        EnableWindow(window, upDisabled ? FALSE : TRUE);
}

LRESULT CKivSysScrollBar::OnGetScrollInfo(WPARAM wParam, LPARAM lParam)
{
    const LRESULT answer = CallPrevious(SBM_GETSCROLLINFO, wParam, lParam);
    SCROLLINFO* info = reinterpret_cast<SCROLLINFO*>(lParam);
    // The control tracks nothing itself: during our drag the track position
    // is the drawn thumb's, with all 32 bits.
    if (answer && info != nullptr && info->cbSize >= sizeof(SCROLLINFO) && (info->fMask & SIF_TRACKPOS) &&
        m_bar.Tracking())
        info->nTrackPos = m_bar.TrackPosition();
    return answer;
}

LRESULT CKivSysScrollBar::OnMouse(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = Window();
    if ((message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) &&
        (GetWindowLongPtrW(window, GWL_STYLE) & WS_TABSTOP) && GetFocus() != window)
        SetFocus(window);
    if (Window() != window)
        return 0;
    const LRESULT taken = m_bar.OnMessage(message, wParam, lParam);
    switch (message)
    {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
        // The control's own tracking loop would paint the system bar.
        return 0;
    default:
        if (taken)
            return 0;
        return Window() == window ? CKivWnd::WindowProc(message, wParam, lParam) : 0;
    }
}

void CKivSysScrollBar::OnPaint()
{
    OnPaintMessage(nullptr);
}

LRESULT CKivSysScrollBar::OnPaintMessage(HDC dc)
{
    CKivPaintEntry::Paint(Window(), dc, [this](HDC target) { m_bar.Draw(target, 0, 0); });
    return 0;
}

LRESULT CKivSysScrollBar::OnEraseBkgnd(HDC)
{
    return 1;
}

LRESULT CKivSysScrollBar::OnPrintClient(HDC dc)
{
    m_bar.Draw(dc, 0, 0);
    return 0;
}

LRESULT CKivSysScrollBar::OnSized(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = Window();
    const LRESULT answer = CKivWnd::WindowProc(message, wParam, lParam);
    if (Window() != window)
        return answer;
    RECT client{};
    GetClientRect(window, &client);
    if (!m_bar.SetBounds(0, 0, client.right, client.bottom) && message == WM_ENABLE)
        m_bar.Repaint();
    return answer;
}

LRESULT CKivSysScrollBar::OnFocusChange(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The control marks focus with a blinking caret over its own thumb,
    // which the drawn thumb does not follow.
    const HWND window = Window();
    const LRESULT answer = CKivWnd::WindowProc(message, wParam, lParam);
    if (Window() == window && message == WM_SETFOCUS)
        HideCaret(window);
    return answer;
}

void CKivSysScrollBar::OnBarRequest(int code, int position)
{
    const HWND window = Window();
    const HWND parent = GetParent(window);
    const WORD shortPosition = (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) ? LOWORD(position) : 0;
    if (parent != nullptr)
        SendMessageW(parent, m_horizontal ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(code, shortPosition),
                     reinterpret_cast<LPARAM>(window));
    // The parent moved the control (or not): show what it holds now.
    if (Window() == window && window != nullptr)
        Refresh();
}

void CKivSysScrollBar::Refresh()
{
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    if (CallPrevious(SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info)))
        m_bar.SetInfo(info.nMin, info.nMax, info.nPage, info.nPos);
}

#include "CKivFrameWnd.h"
#include "CKivCaptionButtonTracker.h"
#include "CKivClassBrushLift.h"
#include "CKivFrameSystemMenu.h"
#include "CKivFrameZones.h"
#include "CKivGdiObject.h"
#include "CKivHDCMemory.h"
#include "CKivHiddenRedraw.h"
#include "CKivSelectObject.h"
#include "CKivSkinStore.h"
#include "CKivWindowDC.h"
#include "CKivWindowsHookMouseHook.h"
#include <algorithm>
#include <cwchar>
#include <new>

namespace {

bool IsDialogWindow(HWND window)
{
    wchar_t className[8] = {};
    return GetClassNameW(window, className, 8) == 6 && wcscmp(className, L"#32770") == 0;
}

// Undocumented: sent by the system for Alt+Space and a right click on the taskbar button.
const UINT kPopupSystemMenu = 0x313;
const int kHoverTimeMs = 2000;

KivFrameMetrics* Fallback(KivFrameMetrics* metrics, KivFrameMetrics* empty)
{
    return metrics ? metrics : empty;
}

POINT PointFromLParam(LPARAM lParam)
{
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

// What a move or resize tells the window's procedure (and, through the
// default procedure, its WM_MOVE and WM_SIZE handlers).
bool IsPlacementMessage(UINT message)
{
    return message == WM_WINDOWPOSCHANGING || message == WM_WINDOWPOSCHANGED || message == WM_MOVE ||
           message == WM_SIZE || message == WM_GETMINMAXINFO;
}

// The caption bits: a window without either has no caption for the skin to draw.
const LONG_PTR kCaptionBits = WS_BORDER | WS_DLGFRAME;

// The messages through which the skin takes over the non-client area; while
// the window has no caption they belong to the system again.
bool IsFrameMessage(UINT message)
{
    switch (message)
    {
    case WM_NCCALCSIZE:
    case WM_NCPAINT:
    case WM_NCHITTEST:
    case WM_NCACTIVATE:
    case WM_NCMOUSEMOVE:
    case WM_NCMOUSELEAVE:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_GETMINMAXINFO:
    case WM_SETTEXT:
    case WM_SETICON:
    case WM_SYSCOMMAND:
    case WM_INITMENUPOPUP:
    case WM_PRINT:
    case kPopupSystemMenu: return true;
    default: return false;
    }
}

}  // namespace


CKivFrameWnd::~CKivFrameWnd()
{
    StopIconTimer();
    m_paint.reset();
}

LONG_PTR CKivFrameWnd::Style() const
{
    return GetWindowLongPtrW(Window(), GWL_STYLE);
}

bool CKivFrameWnd::IsMaximized() const
{
    return (Style() & WS_MAXIMIZE) != 0;
}

bool CKivFrameWnd::IsMdiChild() const
{
    return (GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_MDICHILD) != 0;
}

bool CKivFrameWnd::SystemFramed() const
{
    // A maximised document's frame lies outside its MDI client, where nobody
    // sees it, and the client places it by the system's measures; an iconic
    // one is the system's caption-only icon. Either keeps the system's frame.
    return IsMdiChild() && (Style() & (WS_MAXIMIZE | WS_MINIMIZE)) != 0;
}

POINT CKivFrameWnd::ToWindow(POINT screen) const
{
    return ScreenToWindow(Window(), screen);
}

CKivCaptionButtonTracker CKivFrameWnd::CaptionButtons()
{
    CKivWindowPaint* skin = m_paint ? m_paint->SkinStrategy() : nullptr;
    return CKivCaptionButtonTracker(Window(), *Fallback(m_metrics, &m_emptyMetrics), skin,
                                    CKivCaptionButtonTracker::PressState{m_pressed, m_pressedButton, m_releasePending});
}

void CKivFrameWnd::RefreshMetrics()
{
    KivFrameMetrics* metrics = m_paint ? m_paint->CalcMetrics() : nullptr;
    m_metrics = Fallback(metrics, &m_emptyMetrics);
    m_menuBar.SetMetrics(m_metrics);
}

BOOL CKivFrameWnd::Attach(HWND window)
{
    if (window == nullptr)
        return FALSE;
    RECT before = {};
    GetClientRect(window, &before);
    if (!m_paint)
        m_paint.reset(new (std::nothrow) CKivThemeWindowPaint(window));
    SetDpi(CKivDpiScale::DpiOfWindow(window));
    if (!CKivWnd::Attach(window))
        return FALSE;
    RefreshMetrics();
    RECT rect = {};
    GetWindowRect(window, &rect);
    // The client area the skin's frame will leave, measured before the
    // window changes, so that one move both grows the window and lets the
    // skin answer WM_NCCALCSIZE. Signed: a skin frame thinner than the
    // system's shrinks the window, so the client keeps its size either way.
    // Detach takes the growth back.
    RECT after = before;
    if (m_metrics != &m_emptyMetrics)
    {
        after = rect;
        FitClientArea(*m_metrics, after);
    }
    const RECT placed = rect;
    rect.right += (before.right - before.left) - (after.right - after.left);
    rect.bottom += (before.bottom - before.top) - (after.bottom - after.top);
    KeepTrackingSize(rect);
    m_growth = RECT{0, 0, (rect.right - rect.left) - (placed.right - placed.left),
                    (rect.bottom - rect.top) - (placed.bottom - placed.top)};
    if (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)
        MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    // A window not shown yet is still being created, or at least not laid out
    // by its host: the host hears nothing of this (no WM_WINDOWPOSCHANGED,
    // WM_MOVE or WM_SIZE arrives before its CreateWindowEx returns).
    m_quietPlacement = !IsWindowVisible(window);
    SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_FRAMECHANGED);
    if (FromHandle(window) != this)
        return TRUE;
    RefreshMetrics();
    UpdateRegion();
    m_quietPlacement = false;
    m_menuBar.SetWindow(window);
    CKivWindowsHookMouseHook::Instance().SetMessages(CKivMenuBar::MouseMoveMessage(), CKivMenuBar::LeftDownMessage());
    CKivWindowsHookMouseHook::AddWindow(window);
    AttachGlow();
    return TRUE;
}

void CKivFrameWnd::SetDpi(int dpi)
{
    SetDpiScale(CKivDpiScale(dpi));
    if (m_paint)
        m_paint->SetDpi(Dpi());
    m_glow.SetDpi(Dpi());
}

LRESULT CKivFrameWnd::OnDpiChanged(WPARAM dpi, const RECT* suggested)
{
    const HWND window = Window();
    SetDpi(LOWORD(dpi));
    RECT before = {};
    GetWindowRect(window, &before);
    // The host may place the window itself; if it does not, the window takes
    // the rectangle the system suggests. Either way the frame is measured anew.
    const LRESULT result = CallPrevious(WM_DPICHANGED, dpi, reinterpret_cast<LPARAM>(suggested));
    if (FromHandle(window) != this)
        return result;
    RECT after = {};
    GetWindowRect(window, &after);
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
    RECT target = after;
    if (suggested != nullptr && EqualRect(&before, &after))
        target = *suggested;
    else
        flags |= SWP_NOMOVE | SWP_NOSIZE;
    if (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)
        MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&target), 2);
    SetWindowPos(window, nullptr, target.left, target.top, target.right - target.left, target.bottom - target.top, flags);
    if (FromHandle(window) != this)
        return result;
    RefreshMetrics();
    UpdateRegion();
    DrawFrameWnd(0);
    return result;
}

void CKivFrameWnd::AttachGlow()
{
    const KivSkinSettings& s = CKivSkinStore::Settings();
    const HWND window = Window();
    if (s.edgeHideShadow || (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD))
        return;
    m_glow.CreateGlow(window, static_cast<COLORREF>(s.edgeShadowColor), s.edgeEnableSizeCtl ? TRUE : FALSE);
}

void CKivFrameWnd::OnSkinChanged(const KivSkinSettings& settings)
{
    const HWND window = Window();
    // Without a caption the frame is the system's until the caption returns,
    // and it is measured from the skin in use then.
    if (window == nullptr || !IsWindow(window) || !m_framed)
        return;
    RECT before = {};
    GetClientRect(window, &before);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&before), 2);
    RefreshMetrics();
    // The client area keeps its size, as it did when the frame was first
    // skinned: the host's layout stays right under the new borders. A
    // maximised or minimised window keeps the size the system gave it.
    RECT rect = {};
    GetWindowRect(window, &rect);
    RECT after = rect;
    if (m_metrics != &m_emptyMetrics)
        FitClientArea(*m_metrics, after);
    const int growX = (before.right - before.left) - (after.right - after.left);
    const int growY = (before.bottom - before.top) - (after.bottom - after.top);
    const bool resize = (growX != 0 || growY != 0) && !IsZoomed(window) && !IsIconic(window);
    // The system hears of new borders only when they moved the client area:
    // measuring a frame again costs as much as moving it.
    if (resize || !EqualRect(&before, &after))
    {
        if (resize)
        {
            m_growth.right += growX;
            m_growth.bottom += growY;
        }
        SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left + (resize ? growX : 0),
                     rect.bottom - rect.top + (resize ? growY : 0),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | (resize ? 0 : SWP_NOSIZE));
        if (FromHandle(window) != this)
            return;
        RefreshMetrics();
    }
    // Setting a region costs the system a repaint of the whole frame: only
    // a new shape needs one.
    if (resize || (settings.edgeEnableRound != 0) != m_roundRegion)
        UpdateRegion();
    // The glow takes the new colour and size control in place, or goes with
    // a skin that hides it.
    if (settings.edgeHideShadow)
        m_glow.Destroy();
    else if (m_glow.Owner() == nullptr)
        AttachGlow();
    else
        m_glow.SetLook(static_cast<COLORREF>(settings.edgeShadowColor), settings.edgeEnableSizeCtl ? TRUE : FALSE);
}

BOOL CKivFrameWnd::Detach()
{
    const HWND window = Window();
    m_menuBar.RestoreMenu();
    StopIconTimer();
    if (window != nullptr)
        m_glow.Destroy();
    if (!CKivWnd::Detach())
        return FALSE;
    if (!IsWindow(window))
        return TRUE;
    SetWindowRgn(window, nullptr, TRUE);
    RECT rect = {};
    GetWindowRect(window, &rect);
    rect.left -= m_growth.left;
    rect.top -= m_growth.top;
    rect.right -= m_growth.right;
    rect.bottom -= m_growth.bottom;
    if (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)
        MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    m_growth = RECT{};
    SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return TRUE;
}

LRESULT CKivFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = Window();
    if (window == nullptr || PreviousProc() == nullptr)
        return 0;
    if (m_quietPlacement && IsPlacementMessage(message))
        return 0;
    if (message == WM_STYLECHANGED)
        return OnStyleChanged(wParam, lParam);
    // The activation of a document is followed even while the system frames it.
    if ((!m_framed || (SystemFramed() && message != WM_NCACTIVATE)) && IsFrameMessage(message))
        return CallPrevious(message, wParam, lParam);
    switch (message)
    {
    case WM_GETMINMAXINFO: OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); break;
    case WM_NCLBUTTONDOWN: OnIconClick(); break;
    case WM_NCLBUTTONDBLCLK: if (OnNcLButtonDblClk(lParam)) return 0; break;
    case WM_WINDOWPOSCHANGED: OnWindowPosChanged(reinterpret_cast<const WINDOWPOS*>(lParam)); break;
    case WM_SETTEXT:
    case WM_SETICON: return OnCaptionChange(message, wParam, lParam);
    case WM_CTLCOLORBTN: return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    case WM_MOUSEMOVE: OnCapturedMouseMove(); break;
    case WM_LBUTTONUP: OnCapturedButtonUp(); break;
    case WM_SIZING: m_sizing = 1; break;
    case WM_EXITSIZEMOVE: OnExitSizeMove(); break;
    case kPopupSystemMenu: return OnPopupSystemMenu();
    case WM_DPICHANGED: return OnDpiChanged(wParam, reinterpret_cast<const RECT*>(lParam));
    case WM_SYSCOMMAND: if (OnAltSpace(wParam, lParam)) return 0; break;
    case WM_INITMENUPOPUP: lParam = m_menuBar.PopupPosition(wParam, lParam); break;
    case WM_PRINT: if (lParam & PRF_NONCLIENT) return OnPrint(reinterpret_cast<HDC>(wParam), lParam); break;
    default: break;
    }
    if (m_framed && !m_menuBar.HandleMessage(message, wParam, lParam))
        return 0;
    const LRESULT result = Route(message, wParam, lParam);
    // The window may have been destroyed, and this object with it, meanwhile.
    if (FromHandle(window) != this)
        return result;
    switch (message)
    {
    case WM_SHOWWINDOW: OnShowWindowDone(wParam); break;
    default: break;
    }
    return result;
}

void CKivFrameWnd::OnGetMinMaxInfo(MINMAXINFO* info)
{
    if (info == nullptr)
        return;
    // Maximised, the frame hangs over each edge of the work area of the
    // window's own monitor by the width the skin gives maximised borders, so
    // the client area covers that work area exactly. The position is relative
    // to the monitor, as the system reads it.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoW(MonitorFromWindow(Window(), MONITOR_DEFAULTTONEAREST), &monitor))
    {
        const RECT& work = monitor.rcWork;
        const int frame = GetStyleFrameWidth(Window(), Dpi());
        info->ptMaxPosition = POINT{work.left - monitor.rcMonitor.left - frame, work.top - monitor.rcMonitor.top - frame};
        info->ptMaxSize = POINT{work.right - work.left + 2 * frame, work.bottom - work.top + 2 * frame};
    }
    const KivFrameMetrics* m = Fallback(m_metrics, &m_emptyMetrics);
    info->ptMinTrackSize.y = m->captionHeight + m->borderBottom + m->borderTop;
    m_minTrackSize = info->ptMinTrackSize;
}

void CKivFrameWnd::KeepTrackingSize(RECT& rect)
{
    // The system holds a sizable or overlapped window to its tracking limits
    // at every move; the adjustment the host does not hear must too, or the
    // host's first own move would change the size.
    const LONG_PTR style = GetWindowLongPtrW(Window(), GWL_STYLE);
    if (style & (WS_MINIMIZE | WS_MAXIMIZE))
        return;
    if (!(style & WS_THICKFRAME) && (style & (WS_POPUP | WS_CHILD)))
        return;
    MINMAXINFO limits = {};
    limits.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    limits.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    OnGetMinMaxInfo(&limits);
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    rect.right = rect.left + (std::min)((std::max)(width, limits.ptMinTrackSize.x), limits.ptMaxTrackSize.x);
    rect.bottom = rect.top + (std::min)((std::max)(height, limits.ptMinTrackSize.y), limits.ptMaxTrackSize.y);
}

void CKivFrameWnd::OnExitSizeMove()
{
    m_sizing = 0;
    if (m_framed)
        UpdateRegion();
}

// A program that turns its caption off (a full-screen mode removes WS_CAPTION
// and WS_THICKFRAME) gets the system's frame for the style that is left:
// no skin caption, border, region, shadow or drawn menu bar. They come back
// with the caption bits.
LRESULT CKivFrameWnd::OnStyleChanged(WPARAM which, LPARAM lParam)
{
    const HWND window = Window();
    const LRESULT result = CallPrevious(WM_STYLECHANGED, which, lParam);
    const STYLESTRUCT* styles = reinterpret_cast<const STYLESTRUCT*>(lParam);
    if (which != static_cast<WPARAM>(GWL_STYLE) || styles == nullptr || FromHandle(window) != this)
        return result;
    const bool framed = (static_cast<LONG_PTR>(styles->styleNew) & kCaptionBits) != 0;
    if (framed == m_framed)
        return result;
    m_framed = framed;
    if (!framed)
    {
        m_menuBar.RestoreMenu();
        StopIconTimer();
        CaptionButtons().CancelPress();
        m_glow.Destroy();
        // Also has the system measure the frame again.
        SetWindowRgn(window, nullptr, TRUE);
        return result;
    }
    RefreshMetrics();
    UpdateRegion();
    if (FromHandle(window) == this)
        AttachGlow();
    return result;
}

LRESULT CKivFrameWnd::OnPopupSystemMenu()
{
    POINT cursor = {};
    GetCursorPos(&cursor);
    ShowSystemMenu(HTCAPTION, MAKELPARAM(cursor.x, cursor.y));
    return 0;
}

// The default handling of a new title or icon paints the system's caption
// straight onto the window; it runs with drawing off and the skin repaints.
LRESULT CKivFrameWnd::OnCaptionChange(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = Window();
    LRESULT result = 0;
    {
        CKivHiddenRedraw hidden(window);
        result = CallPrevious(message, wParam, lParam);
    }
    if (FromHandle(window) == this)
        DrawFrameWnd(0);
    return result;
}

// The system maximises or restores on a double click in the caption; over a
// caption button the click belongs to the button, which ignores double clicks
// as the system's own buttons do.
bool CKivFrameWnd::OnNcLButtonDblClk(LPARAM lParam)
{
    OnIconClick();
    const POINT screen = PointFromLParam(lParam);
    return HitTestButton(screen) != NoButton || OverDisabledClose(screen);
}

// The region follows every size change, also of a hidden window (a dialog
// that sizes itself while it is created).
void CKivFrameWnd::OnWindowPosChanged(const WINDOWPOS* position)
{
    if (!m_framed || position == nullptr || (position->flags & SWP_NOSIZE))
        return;
    RECT rect = {};
    GetWindowRect(Window(), &rect);
    if (rect.right - rect.left != m_regionSize.cx || rect.bottom - rect.top != m_regionSize.cy)
    {
        RefreshMetrics();
        UpdateRegion();
    }
}

// Alt+Space: the system opens its menu only for WS_SYSMENU windows, which a
// skinned frame is not, and with a menu bar it would enter its own menu mode
// on it; the skin opens the system menu under the icon instead.
bool CKivFrameWnd::OnAltSpace(WPARAM command, LPARAM lParam)
{
    if ((command & 0xFFF0) != SC_KEYMENU || lParam != ' ')
        return false;
    ShowSystemMenu(HTSYSMENU, 0);
    return true;
}

bool CKivFrameWnd::OverDisabledClose(POINT screen)
{
    return CaptionButtons().OverDisabledClose(screen);
}

bool CKivFrameWnd::CloseEnabled() const
{
    return CKivCaptionButtonTracker::CloseEnabled(Window());
}

void CKivFrameWnd::OnShowWindowDone(WPARAM)
{
    // The style is changed only after the system has shown the window, so the
    // first frame it computes still matches what the host asked for.
    // Without WS_SYSMENU the system draws no caption buttons of its own. An
    // MDI document keeps it: its client lends the system menu to the frame's
    // menu bar while the document is maximised.
    if (IsMdiChild())
        return;
    SetWindowLongPtrW(Window(), GWL_STYLE, Style() & ~static_cast<LONG_PTR>(WS_SYSMENU));
}

void CKivFrameWnd::OnAttachedWhileShown()
{
    OnShowWindowDone(TRUE);
    RedrawWindow(Window(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// ---- geometry and painting -------------------------------------------------

void CKivFrameWnd::OnNcCalcSize(WPARAM wParam, LPARAM lParam)
{
    KivFrameMetrics* metrics = wParam && m_paint ? m_paint->CalcMetrics() : nullptr;
    if (metrics == nullptr || lParam == 0)
    {
        CallPrevious(WM_NCCALCSIZE, wParam, lParam);
        return;
    }
    m_metrics = metrics;
    m_menuBar.SetMetrics(metrics);
    FitClientArea(*metrics, reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]);
}

void CKivFrameWnd::FitClientArea(const KivFrameMetrics& metrics, RECT& client) const
{
    client.left += metrics.borderLeft;
    client.top += metrics.captionHeight + metrics.borderTop + metrics.menuBarHeight;
    client.right -= metrics.borderRight;
    client.bottom -= metrics.borderBottom;
    // The client edge and the scroll bars stay where the system has them:
    // just inside the frame, drawn by the system.
    if (GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE)
        InflateRect(&client, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    const RECT bars = ScrollBarSpace();
    client.left += bars.left;
    client.right -= bars.right;
    client.bottom -= bars.bottom;
    if (client.right < client.left)
        client.right = client.left;
    if (client.bottom < client.top)
        client.bottom = client.top;
}

void CKivFrameWnd::UpdateRegion()
{
    const HWND window = Window();
    RECT rect = {};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    m_regionSize = SIZE{width, height};
    if (SystemFramed())
    {
        SetWindowRgn(window, nullptr, TRUE);
        return;
    }
    if (IsMaximized())
        height -= Fallback(m_metrics, &m_emptyMetrics)->borderBottom;
    CKivRegion region;
    m_roundRegion = CKivSkinStore::Settings().edgeEnableRound != 0;
    if (m_roundRegion)
    {
        // Round at the top only: the bottom corners are squared off again.
        const int corner = DpiScale().Scale(11);
        region.Reset(CreateRoundRectRgn(0, 0, width + 1, height, corner, corner));
        CKivRegion bottom(CreateRectRgn(0, height - DpiScale().Scale(32), width, height));
        if (region && bottom)
            CombineRgn(region, region, bottom, RGN_OR);
    }
    else
    {
        region.Reset(CreateRectRgn(0, 0, width, height));
    }
    if (!region)
        return;
    if (!IsDialogWindow(window))
        InvalidateRect(window, nullptr, FALSE);
    // The system owns the region once it is set.
    if (SetWindowRgn(window, region, TRUE))
        region.Release();
}

int CKivFrameWnd::DrawFrameWnd(int updateRegion)
{
    const HWND window = Window();
    if (window == nullptr || !m_framed || !IsWindowVisible(window) || SystemFramed())
        return 0;
    if (updateRegion)
        UpdateRegion();
    RefreshMetrics();
    CKivWindowDC dc(window);
    if (dc.Get() == nullptr)
        return 0;
    // The client area and its scroll bars are the host's and the system's:
    // only the frame around them is replaced.
    const int saved = SaveDC(dc);
    const RECT inner = InnerRect();
    ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
    PaintFrameTo(dc);
    RestoreDC(dc, saved);
    DrawScrollBars();
    return 1;
}

void CKivFrameWnd::PaintFrameTo(HDC target)
{
    CKivWindowPaint* skin = m_paint ? m_paint->SkinStrategy() : nullptr;
    if (skin == nullptr || m_metrics == nullptr || m_metrics == &m_emptyMetrics)
        return;
    const int width = m_metrics->rightBorderRect.right;
    const int height = m_metrics->leftBorderRect.bottom;
    // Everything is composed in one bitmap and reaches the target in one blit.
    if (!m_surface || m_surface->Width() != width || m_surface->Height() != height)
    {
        m_surface.reset();
        m_surface.reset(new (std::nothrow) CKivHDCMemory(target, width, height));
    }
    if (!m_surface || !m_surface->IsValid())
    {
        m_surface.reset();
        return;
    }
    const HDC surface = m_surface->GetDC();
    skin->DrawCaptionTo(surface, m_activeState);
    m_menuBar.Draw(surface, width);
    DrawButtonStrip(surface);
    DrawOutline(surface);
    DrawClientEdge(surface);
    BitBlt(target, 0, 0, width, height, surface, 0, 0, SRCCOPY);
}

void CKivFrameWnd::DrawButtonStrip(HDC target)
{
    const KivSkinSettings& s = CKivSkinStore::Settings();
    const KivFrameMetrics& m = *m_metrics;
    const int stripWidth = ButtonStripWidth(m);
    const int left = m.captionRect.right - stripWidth;
    const int top = m.borderTop;
    const LONG_PTR style = Style();
    const bool maximized = (style & WS_MAXIMIZE) != 0;
    CKivGraphics::StretchBltFromSkin(target, left, top, stripWidth, m.captionHeight,
                                     m_activeState ? &s.captionBarActiveBmp : &s.captionBarDefaultBmp);
    const int BW = m.closeButton.width, S = m.buttonSpace, BH = m.closeButton.height;
    const CKivDpiScale scale(m.dpi);
    if (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))
    {
        CKivGraphics::StretchBltFromSkinScaled(target, left, m.minButton.y, m.minButton.width, m.minButton.height,
                                               (style & WS_MINIMIZEBOX) ? &s.minButtonDefaultBmp : &s.minButtonDisableBmp,
                                               scale);
        const RECT* maxPicture = (style & WS_MAXIMIZEBOX)
                                     ? (maximized ? &s.restoreButtonDefaultBmp : &s.maxButtonDefaultBmp)
                                     : (maximized ? &s.restoreButtonDisableBmp : &s.maxButtonDisableBmp);
        CKivGraphics::StretchBltFromSkinScaled(target, left + BW + S, m.maxButton.y, BW, BH, maxPicture, scale);
    }
    CKivGraphics::StretchBltFromSkinScaled(target, left + 2 * (BW + S), m.closeButton.y, BW, BH,
                                           CloseEnabled() ? &s.closeButtonDefaultBmp : &s.closeButtonDisableBmp, scale);
}

RECT CKivFrameWnd::InnerRect() const
{
    const HWND window = Window();
    RECT inner = {};
    GetClientRect(window, &inner);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&inner), 2);
    const POINT origin = ToWindow(POINT{inner.left, inner.top});
    OffsetRect(&inner, origin.x - inner.left, origin.y - inner.top);
    const RECT bars = ScrollBarSpace();
    inner.left -= bars.left;
    inner.right += bars.right;
    inner.bottom += bars.bottom;
    return inner;
}

RECT CKivFrameWnd::ScrollBarSpace() const
{
    const LONG_PTR style = Style();
    RECT space = {};
    if ((style & WS_VSCROLL) && (GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR))
        space.left = GetSystemMetrics(SM_CXVSCROLL);
    else if (style & WS_VSCROLL)
        space.right = GetSystemMetrics(SM_CXVSCROLL);
    if (style & WS_HSCROLL)
        space.bottom = GetSystemMetrics(SM_CYHSCROLL);
    return space;
}

void CKivFrameWnd::DrawClientEdge(HDC target)
{
    if (!(GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE))
        return;
    RECT edge = InnerRect();
    InflateRect(&edge, GetSystemMetrics(SM_CXEDGE), GetSystemMetrics(SM_CYEDGE));
    DrawEdge(target, &edge, EDGE_SUNKEN, BF_RECT);
}

// The system draws the scroll bars itself, clipped to them (the region of
// WM_NCPAINT is in screen coordinates).
void CKivFrameWnd::DrawScrollBars()
{
    const HWND window = Window();
    if (!(Style() & (WS_VSCROLL | WS_HSCROLL)))
        return;
    RECT client = {};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    RECT inner = InnerRect();
    RECT outer = {};
    GetWindowRect(window, &outer);
    OffsetRect(&inner, outer.left, outer.top);
    CKivRegion bars(CreateRectRgnIndirect(&inner));
    CKivRegion clientRegion(CreateRectRgnIndirect(&client));
    if (!bars || !clientRegion || CombineRgn(bars, bars, clientRegion, RGN_DIFF) <= NULLREGION)
        return;
    DefWindowProcW(window, WM_NCPAINT, reinterpret_cast<WPARAM>(bars.Get()), 0);
}

void CKivFrameWnd::DrawOutline(HDC target)
{
    const KivSkinSettings& s = CKivSkinStore::Settings();
    if (IsMaximized() || s.edgeEnableSizeCtl || s.borderLeftWidth < 1 || s.borderTopWidth < 1 || s.borderRightWidth < 1 ||
        s.borderBottomWidth < 1)
        return;
    const int width = m_metrics->rightBorderRect.right;
    const int height = m_metrics->leftBorderRect.bottom;
    CKivPen pen(CreatePen(PS_SOLID, 1, RGB(0xA0, 0xA0, 0xA0)));
    if (!pen)
        return;
    CKivSelectObject selectPen(target, pen.Get());
    CKivSelectObject selectBrush(target, GetStockObject(HOLLOW_BRUSH));
    const int corner = DpiScale().Scale(11);
    RoundRect(target, 0, 0, width, height + corner, corner, corner);
    MoveToEx(target, 0, height - 1, nullptr);
    LineTo(target, width, height - 1);
}

LRESULT CKivFrameWnd::OnPrint(HDC dc, LPARAM flags)
{
    const HWND window = Window();
    if ((flags & PRF_CHECKVISIBLE) && !IsWindowVisible(window))
        return 0;
    RefreshMetrics();
    PaintFrameTo(dc);
    RECT client = {};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const POINT origin = ToWindow(POINT{client.left, client.top});
    const int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, origin.x, origin.y, nullptr);
    IntersectClipRect(dc, 0, 0, client.right - client.left, client.bottom - client.top);
    if (flags & PRF_ERASEBKGND)
        SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    if (flags & PRF_CLIENT)
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags);
    if (flags & PRF_CHILDREN)
    {
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        {
            if (!IsWindowVisible(child))
                continue;
            RECT place = {};
            GetWindowRect(child, &place);
            const int inner = SaveDC(dc);
            OffsetViewportOrgEx(dc, place.left - client.left, place.top - client.top, nullptr);
            SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc), (flags & ~PRF_CHECKVISIBLE) | PRF_NONCLIENT);
            RestoreDC(dc, inner);
        }
    }
    RestoreDC(dc, saved);
    return 0;
}

LRESULT CKivFrameWnd::OnEraseBkgnd(HDC dc)
{
    if (!m_paint)
        return CallPrevious(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    // A dialog's own erase fills it with its dialog brush: the skin's
    // background takes its place.
    if (IsDialogWindow(Window()))
    {
        if (m_paint->EraseBackground(dc))
            return 1;
        return CallPrevious(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    }
    // Any other host hears every erase, as it would unskinned (a child without a
    // background colour forwards its erase here, and the host may answer it
    // itself). Its class brush is lifted meanwhile, so the system's default
    // handling erases nothing and answers 0; the skin's background then
    // fills the client, with no class-brush flash underneath.
    LRESULT answer = 0;
    HBRUSH classBrush = nullptr;
    {
        const CKivClassBrushLift lift(Window());
        classBrush = lift.Brush();
        answer = CallPrevious(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    }
    if (answer)
        return answer;
    if (m_paint->EraseBackground(dc))
        return 1;
    if (!classBrush)
        return 0;
    // A skin without a background: the erase the host left to the system.
    RECT client = {};
    GetClientRect(Window(), &client);
    FillRect(dc, &client, classBrush);
    return 1;
}

void CKivFrameWnd::OnSize(UINT sizeType, int width, int height)
{
    // The window rectangle is final by now; earlier measures saw the old one.
    // The region already follows the new size (WM_WINDOWPOSCHANGED).
    RefreshMetrics();
    if (IsWindowVisible(Window()))
        DrawFrameWnd(0);
    CallPrevious(WM_SIZE, sizeType, MAKELPARAM(width, height));
}

void CKivFrameWnd::OnNcPaint()
{
    if (m_sizing == 0)
        DrawFrameWnd(0);
}

LRESULT CKivFrameWnd::OnNcActivate(WPARAM wParam)
{
    // Activation is drawn from WM_ACTIVATE; letting the system see this
    // message would paint its own caption over ours. A document of an MDI
    // client never gets WM_ACTIVATE: its client tells it this way.
    if (!IsMdiChild())
    {
        PassActivationToMdiClient(wParam);
        return TRUE;
    }
    m_activeState = wParam ? WA_ACTIVE : WA_INACTIVE;
    if (SystemFramed())
        return CallPrevious(WM_NCACTIVATE, wParam, 0);
    DrawFrameWnd(0);
    return TRUE;
}

// What the frame procedure of an MDI program does with this message, which
// the skin keeps from it: the client hands it to the active document, so the
// document's caption goes inactive with the frame's.
void CKivFrameWnd::PassActivationToMdiClient(WPARAM active)
{
    const HWND client = FindWindowExW(Window(), nullptr, L"MDICLIENT", nullptr);
    if (client != nullptr)
        SendMessageW(client, WM_NCACTIVATE, active, 0);
}

void CKivFrameWnd::OnActivate(UINT state, HWND other, BOOL minimized)
{
    m_activeState = static_cast<int>(state);
    DrawFrameWnd(0);
    CallPrevious(WM_ACTIVATE, MAKEWPARAM(state, minimized), reinterpret_cast<LPARAM>(other));
}

void CKivFrameWnd::OnSizing(WPARAM edge, LPARAM rect)
{
    if (IsWindowVisible(Window()))
        DrawFrameWnd(1);
    CallPrevious(WM_SIZING, edge, rect);
}

void CKivFrameWnd::OnDestroy()
{
    // Window contexts and the frame bitmap go with the window, not with this object.
    if (m_paint)
        m_paint->ReleaseContext();
    m_surface.reset();
    StopIconTimer();
    CaptionButtons().CancelPress();
    CKivWindowsHookMouseHook::RemoveWindow(Window());
    CallPrevious(WM_DESTROY, 0, 0);
}

// ---- hit-testing -----------------------------------------------------------

BOOL CKivFrameWnd::GetZoneRect(int zone, RECT* out)
{
    return CKivFrameZones::ZoneRect(*Fallback(m_metrics, &m_emptyMetrics), zone, out);
}

LRESULT CKivFrameWnd::HitTestZone(LPARAM lParam, int* zone)
{
    const bool canSize = (Style() & WS_THICKFRAME) && !IsMaximized();
    return CKivFrameZones::HitTest(*Fallback(m_metrics, &m_emptyMetrics), ToWindow(PointFromLParam(lParam)), canSize,
                                   zone);
}

LRESULT CKivFrameWnd::HitTest(LPARAM lParam)
{
    const KivFrameMetrics& m = *Fallback(m_metrics, &m_emptyMetrics);
    const POINT p = ToWindow(PointFromLParam(lParam));
    if (CKivGraphics::PtInRectInclusive(p.x, p.y, m.iconRect.left, m.iconRect.top, m.iconRect.right, m.iconRect.bottom))
        return HTSYSMENU;
    int zone = 0;
    const LRESULT code = HitTestZone(lParam, &zone);
    // The client zone is the application's: it may answer HTCAPTION to be
    // dragged by its client area, HTTRANSPARENT, or a scroll bar code.
    if (zone != 0 && code != HTCLIENT)
        return code;
    return CallPrevious(WM_NCHITTEST, 0, lParam);
}

LRESULT CKivFrameWnd::OnNcHitTest(LPARAM lParam)
{
    return HitTest(lParam);
}

// ---- caption buttons ---------------------------------------------------------

int CKivFrameWnd::HitTestButton(POINT screen)
{
    return CaptionButtons().HitTest(screen);
}

int CKivFrameWnd::TrackCaptionButtons(const POINT* screen, const int* state)
{
    return CaptionButtons().Track(screen, state);
}

void CKivFrameWnd::OnNcMouseMove(WPARAM hitTest, LPARAM lParam)
{
    const POINT screen = PointFromLParam(lParam);
    const int state = m_pressed ? 2 : 1;
    TrackCaptionButtons(&screen, &state);
    if (m_pressed == 0)
    {
        TRACKMOUSEEVENT track = {sizeof(track), TME_HOVER | TME_LEAVE | TME_NONCLIENT, Window(), kHoverTimeMs};
        TrackMouseEvent(&track);
    }
    CallPrevious(WM_NCMOUSEMOVE, hitTest, lParam);
}

void CKivFrameWnd::OnNcMouseLeave()
{
    TrackCaptionButtons(nullptr, nullptr);
    CallPrevious(WM_NCMOUSELEAVE, 0, 0);
}

void CKivFrameWnd::OnNcLButtonDown(WPARAM hitTest, LPARAM lParam)
{
    const POINT screen = PointFromLParam(lParam);
    const int pressed = 2;
    // A press on a button must not reach the system, which would start its own
    // caption tracking; nor a press on a disabled close, which does nothing.
    if (TrackCaptionButtons(&screen, &pressed))
        return;
    if (OverDisabledClose(screen))
        return;
    CallPrevious(WM_NCLBUTTONDOWN, hitTest, lParam);
}

void CKivFrameWnd::OnCapturedMouseMove()
{
    CaptionButtons().OnCapturedMouseMove();
}

void CKivFrameWnd::OnCapturedButtonUp()
{
    CaptionButtons().OnCapturedButtonUp();
}

void CKivFrameWnd::OnNcLButtonUp(WPARAM hitTest, LPARAM lParam)
{
    const int button = CaptionButtons().TakeRelease(PointFromLParam(lParam));
    const HWND window = Window();
    // The buttons ask the way the system's own do, so the application's
    // WM_SYSCOMMAND handler decides (minimise to the tray, confirm on close).
    WPARAM command = 0;
    switch (button)
    {
    case CloseButton: command = SC_CLOSE; break;
    case MaxButton: command = IsMaximized() ? SC_RESTORE : SC_MAXIMIZE; break;
    case MinButton: command = SC_MINIMIZE; break;
    default: break;
    }
    if (command != 0)
        SendMessageW(window, WM_SYSCOMMAND, command, lParam);
    if (FromHandle(window) == this)
        CallPrevious(WM_NCLBUTTONUP, hitTest, lParam);
}

// ---- system menu -------------------------------------------------------------

void CKivFrameWnd::SystemMenuStates(LONG_PTR style, UINT states[5])
{
    CKivFrameSystemMenu::States(style, states);
}

void CKivFrameWnd::ShowSystemMenu(int hitCode, LPARAM lParam)
{
    const HWND window = Window();
    const HMENU menu = CKivFrameSystemMenu::Prepare(window);
    if (menu == nullptr)
        return;
    DrawFrameWnd(0);
    POINT at = PointFromLParam(lParam);
    if (hitCode == HTSYSMENU)
    {
        RECT rect = {};
        GetWindowRect(window, &rect);
        const KivFrameMetrics& m = *Fallback(m_metrics, &m_emptyMetrics);
        at = POINT{rect.left + m.borderLeft, rect.top + m.captionHeight + m.borderTop};
    }
    CKivFrameSystemMenu::Track(window, menu, at);
}

void CKivFrameWnd::OnNcRButtonDown(WPARAM, LPARAM)
{
    // Swallowed: the system would open its own menu here; ours opens on the button-up.
}

void CKivFrameWnd::OnNcRButtonUp(WPARAM hitTest, LPARAM lParam)
{
    if (hitTest == HTCAPTION || hitTest == HTSYSMENU)
        ShowSystemMenu(static_cast<int>(hitTest), lParam);
    else
        CallPrevious(WM_NCRBUTTONUP, hitTest, lParam);
}

// ---- icon single click ---------------------------------------------------------

void CKivFrameWnd::OnIconClick()
{
    m_iconClick.Click(Window());
}

void CKivFrameWnd::OnIconSingleClick()
{
    const HWND window = Window();
    POINT cursor = {};
    RECT rect = {};
    if (!GetCursorPos(&cursor) || !GetWindowRect(window, &rect))
        return;
    RefreshMetrics();
    const RECT& icon = m_metrics->iconRect;
    if (CKivGraphics::PtInRectInclusive(cursor.x - rect.left, cursor.y - rect.top, icon.left, icon.top, icon.right,
                                        icon.bottom))
        PostMessageW(window, WM_NCRBUTTONUP, HTSYSMENU, MAKELPARAM(cursor.x, cursor.y));
}

void CKivFrameWnd::StopIconTimer()
{
    m_iconClick.Stop();
}

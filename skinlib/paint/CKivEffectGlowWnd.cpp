#include "CKivEffectGlowWnd.h"
#include "CKivDpiScale.h"
#include "CKivGdiObject.h"
#include "CKivGlowFollower.h"
#include "CKivGraphics.h"

namespace {

const wchar_t kGlowName[] = L"{0A5E063A-B63E-4663-9099-65FBFC40503D}";
// A pop-up; the low bits are class-specific and mean nothing to our class.
const DWORD kGlowStyle = WS_POPUP | 0x48;

const LRESULT kZoneHitCodes[CKivEffectGlowWnd::kZoneCount] = {
    HTLEFT, HTTOP, HTRIGHT, HTBOTTOM, HTTOPLEFT, HTTOPRIGHT, HTBOTTOMRIGHT, HTBOTTOMLEFT};

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool Inside(POINT p, const RECT& r)
{
    return CKivGraphics::PtInRectInclusive(p.x, p.y, r.left, r.top, r.right, r.bottom) != FALSE;
}

}  // namespace

CKivEffectGlowWnd::~CKivEffectGlowWnd()
{
    // The base destructor would only reach the base Destroy.
    Destroy();
}

BOOL CKivEffectGlowWnd::CreateGlow(HWND frame, COLORREF colour, BOOL sizeControl)
{
    if (frame == nullptr || !IsWindow(frame) || m_hwnd != nullptr)
        return FALSE;
    // Without size control the glow takes no clicks at all, also from other
    // programs' windows below it. Not owned by the frame: an owned window
    // lies above its owner, and the glow belongs right behind it. Being a
    // tool window keeps it off the taskbar.
    const DWORD exStyle =
        WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW | (sizeControl ? 0 : WS_EX_TRANSPARENT);
    if (!CreateEx(kGlowName, kGlowStyle, exStyle, 0, 0, 0, 0, nullptr, nullptr, nullptr, FALSE) || m_hwnd == nullptr)
        return FALSE;
    m_owner = frame;
    m_sizeControl = sizeControl ? TRUE : FALSE;
    m_shadowColor = colour & 0xFFFFFF;
    if (!CKivGlowFollower::Install(frame, this))
    {
        Destroy();
        return FALSE;
    }
    FollowOwner();
    return TRUE;
}

void CKivEffectGlowWnd::SetLook(COLORREF colour, BOOL sizeControl)
{
    if (m_hwnd == nullptr)
        return;
    const BOOL control = sizeControl ? TRUE : FALSE;
    if (control != m_sizeControl)
    {
        // As at creation: without size control the glow lets every click through.
        LONG_PTR exStyle = GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE);
        exStyle = control ? (exStyle & ~static_cast<LONG_PTR>(WS_EX_TRANSPARENT)) : (exStyle | WS_EX_TRANSPARENT);
        SetWindowLongPtrW(m_hwnd, GWL_EXSTYLE, exStyle);
        m_sizeControl = control;
    }
    const COLORREF shadow = colour & 0xFFFFFF;
    if (shadow == m_shadowColor)
        return;
    m_shadowColor = shadow;
    // A hidden glow draws the new colour when it is placed again.
    if (IsWindowVisible(m_hwnd) && m_surface.Width() > 0)
        RedrawShadow();
    else
        m_surface.Clear();
}

void CKivEffectGlowWnd::Destroy()
{
    if (m_owner != nullptr)
        CKivGlowFollower::Remove(m_owner, this);
    m_owner = nullptr;
    m_surface.Clear();
    m_regionSize = SIZE{-1, -1};
    CKivWndImpl::Destroy();
}

void CKivEffectGlowWnd::OnOwnerDestroy()
{
    Destroy();
}

RECT CKivEffectGlowWnd::GlowRectFor(const RECT& frame)
{
    return RECT{frame.left - kLeadLeft, frame.top - kLeadTop, frame.right + kLeadRight, frame.bottom + kLeadBottom};
}

RECT CKivEffectGlowWnd::GlowRect(const RECT& frame) const
{
    // The edge line lies outside the frame on the left and top, as at 96 DPI.
    return RECT{frame.left - m_band - 1, frame.top - m_band - 1, frame.right + m_band, frame.bottom + m_band};
}

void CKivEffectGlowWnd::SetDpi(int dpi)
{
    const int band = CKivDpiScale(dpi).Scale(CKivShadowSurface::kUnitBand);
    if (band == m_band)
        return;
    m_band = band;
    m_regionSize = SIZE{-1, -1};
    m_surface.Clear();
    FollowOwner();
}

bool CKivEffectGlowWnd::WantsVisible() const
{
    const HWND owner = m_owner;
    return IsWindowVisible(owner) && !IsIconic(owner) && !IsZoomed(owner) &&
           !(GetWindowLongPtrW(owner, GWL_STYLE) & WS_CHILD);
}

void CKivEffectGlowWnd::FollowOwner()
{
    if (m_following || m_hwnd == nullptr || !IsWindow(m_owner))
        return;
    m_following = true;
    RECT frame = {};
    GetWindowRect(m_owner, &frame);
    // Hidden glows are not placed: a maximised frame would ask for a bitmap
    // the size of the screen for nothing.
    const bool visible = WantsVisible() && Place(GlowRect(frame));
    // Shown, the glow stays right behind its frame: the frame covers the
    // glow's inside and its own moves never uncover parts of it.
    const bool shown = m_hwnd != nullptr && IsWindowVisible(m_hwnd);
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOOWNERZORDER | SWP_NOACTIVATE;
    if (m_hwnd != nullptr && visible && (!shown || GetWindow(m_owner, GW_HWNDNEXT) != m_hwnd))
        SetWindowPos(m_hwnd, m_owner, 0, 0, 0, 0, flags | SWP_SHOWWINDOW);
    else if (m_hwnd != nullptr && !visible && shown)
        SetWindowPos(m_hwnd, nullptr, 0, 0, 0, 0, flags | SWP_NOZORDER | SWP_HIDEWINDOW);
    m_following = false;
}

// Moves the glow to target; a new size repaints the shadow. False when the
// glow cannot have that size.
bool CKivEffectGlowWnd::Place(const RECT& target)
{
    const int width = target.right - target.left;
    const int height = target.bottom - target.top;
    if (CKivShadowSurface::TooLarge(width, height))
    {
        m_surface.Clear();
        return false;
    }
    RECT current = {};
    GetWindowRect(m_hwnd, &current);
    if (SameRect(current, target) && m_surface.Width() == width && m_surface.Height() == height)
        return true;
    if (current.right - current.left == width && current.bottom - current.top == height && m_surface.Width() == width &&
        m_surface.Height() == height)
    {
        // A move only moves the window: the picture stays.
        SetWindowPos(m_hwnd, nullptr, target.left, target.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE);
        UpdateZones();
        return true;
    }
    return RenderAt(target);
}

bool CKivEffectGlowWnd::RedrawShadow()
{
    if (m_hwnd == nullptr)
        return false;
    RECT rect = {};
    GetWindowRect(m_hwnd, &rect);
    return RenderAt(rect);
}

// Paints the shadow for target's size and hands it to the window, which
// takes target's place in the same step.
bool CKivEffectGlowWnd::RenderAt(const RECT& target)
{
    const int width = target.right - target.left;
    const int height = target.bottom - target.top;
    if (!m_surface.Render(width, height, m_shadowColor, m_band))
        return false;
    POINT position = {target.left, target.top};
    SIZE size = {width, height};
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, kConstantAlpha, AC_SRC_ALPHA};
    if (!UpdateLayeredWindow(m_hwnd, nullptr, &position, &size, m_surface.GetDC(), &source, 0, &blend, ULW_ALPHA))
        return false;
    UpdateRegion();
    UpdateZones();
    return true;
}

// The region is the ring around the frame: whatever lies over the frame's
// own rectangle is not the glow's.
void CKivEffectGlowWnd::UpdateRegion()
{
    const int width = m_surface.Width();
    const int height = m_surface.Height();
    if (m_hwnd == nullptr || (width == m_regionSize.cx && height == m_regionSize.cy))
        return;
    CKivRegion ring(CreateRectRgn(0, 0, width, height));
    CKivRegion inside(CreateRectRgn(m_band + 1, m_band + 1, width - m_band, height - m_band));
    if (!ring || !inside || CombineRgn(ring, ring, inside, RGN_DIFF) == ERROR)
        return;
    // The window owns the region once it is set.
    if (SetWindowRgn(m_hwnd, ring.Get(), FALSE))
    {
        ring.Release();
        m_regionSize = SIZE{width, height};
    }
}

void CKivEffectGlowWnd::UpdateZones()
{
    if (m_hwnd == nullptr)
        return;
    RECT g = {};
    GetWindowRect(m_hwnd, &g);
    const int l = g.left, t = g.top, r = g.right, b = g.bottom;
    // In bands: one band deep, corners two and three bands long.
    const int b1 = m_band, b2 = 2 * m_band, b3 = 3 * m_band;
    m_edgeZones[LeftZone] = RECT{l, t + b2, l + b1, b - b2};
    m_edgeZones[TopZone] = RECT{l + b2, t, r - b2, t + b1};
    m_edgeZones[RightZone] = RECT{r - b1, t + b3, r, b - b2};
    m_edgeZones[BottomZone] = RECT{l + b2, b - b1, r - b2, b};
    m_cornerZones[0] = RECT{l, t, l + b1, t + b2};
    m_cornerZones[1] = RECT{l + b1, t, l + b3, t + b1};
    m_cornerZones[2] = RECT{r - b2, t, r - b1, t + b1};
    m_cornerZones[3] = RECT{r - b1, t + b1, r, t + b3};
    m_cornerZones[4] = RECT{r - b1, b - b2, r, b};
    m_cornerZones[5] = RECT{r - b3, b - b1, r - b1, b};
    m_cornerZones[6] = RECT{l, b - b2, l + b1, b};
    m_cornerZones[7] = RECT{l + b1, b - b1, l + b2, b};
}

int CKivEffectGlowWnd::ZoneFromPoint(POINT screen) const
{
    for (int zone = LeftZone; zone <= BottomZone; ++zone)
        if (Inside(screen, m_edgeZones[zone]))
            return zone;
    for (int piece = 0; piece < 8; ++piece)
        if (Inside(screen, m_cornerZones[piece]))
            return TopLeftZone + piece / 2;
    return NoZone;
}

LRESULT CKivEffectGlowWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_NCHITTEST: return OnNcHitTest(lParam);
    case WM_NCLBUTTONDOWN: return OnNcLButtonDown(wParam, lParam);
    case WM_PRINT:
    case WM_PRINTCLIENT: return OnPrint(reinterpret_cast<HDC>(wParam));
    case WM_MOVE:
    case WM_SIZE: return OnGeometryChange(message, wParam, lParam);
    default: return CKivWndImpl::WindowProc(message, wParam, lParam);
    }
}

LRESULT CKivEffectGlowWnd::OnGeometryChange(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CKivWndImpl::WindowProc(message, wParam, lParam);
    if (m_hwnd == nullptr)
        return result;
    // Sized by someone else than RenderAt: the picture must follow.
    if (message == WM_SIZE && (m_surface.Width() != m_width || m_surface.Height() != m_height))
        RedrawShadow();
    UpdateZones();
    return result;
}

LRESULT CKivEffectGlowWnd::OnNcHitTest(LPARAM lParam)
{
    const HWND owner = m_owner;
    if (!m_sizeControl || !(GetWindowLongPtrW(owner, GWL_STYLE) & WS_THICKFRAME) || IsZoomed(owner))
        return HTTRANSPARENT;
    const POINT p = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    const int zone = ZoneFromPoint(p);
    return zone == NoZone ? HTTRANSPARENT : kZoneHitCodes[zone];
}

// A press on an edge hands the sizing to the frame's own sizing loop: the
// frame's host sees WM_ENTERSIZEMOVE, WM_SIZING and WM_EXITSIZEMOVE as for a
// press on the frame's border, and the frame's limits apply.
LRESULT CKivEffectGlowWnd::OnNcLButtonDown(WPARAM hitTest, LPARAM lParam)
{
    const HWND owner = m_owner;
    if (!m_sizeControl || hitTest < HTLEFT || hitTest > HTBOTTOMRIGHT || !IsWindowEnabled(owner))
        return CallDefault(m_hwnd, WM_NCLBUTTONDOWN, hitTest, lParam);
    // A press on the frame's shadow activates the frame as a press on its
    // border would; the glow itself never becomes active.
    if (GetActiveWindow() != owner)
        SetActiveWindow(owner);
    SendMessageW(owner, WM_SYSCOMMAND, SC_SIZE | (hitTest - HTLEFT + WMSZ_LEFT), lParam);
    return 0;
}

LRESULT CKivEffectGlowWnd::OnPrint(HDC dc)
{
    if (dc != nullptr && m_surface.GetDC() != nullptr)
        BitBlt(dc, 0, 0, m_surface.Width(), m_surface.Height(), m_surface.GetDC(), 0, 0, SRCCOPY);
    return 0;
}

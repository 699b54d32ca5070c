#include "CKivDirectBase.h"
#include "CKivWnd.h"

int CKivDirectBase::Init(int x, int y, int width, int height, HWND host)
{
    m_x = x;
    m_y = y;
    m_width = width;
    m_height = height;
    m_host = host;
    return 1;
}

POINT CKivDirectBase::PointFromLParam(LPARAM lParam)
{
    // Sign-extended: a captured mouse reports points left of or above the host.
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

LRESULT CKivDirectBase::OnMessage(UINT message, WPARAM, LPARAM lParam)
{
    switch (message)
    {
    case WM_LBUTTONDOWN:
    {
        POINT point = PointFromLParam(lParam);
        if (ToLocal(&point, 0) && HitTest(point))
        {
            m_captured = 1;
            SetCapture(m_host);
        }
        break;
    }
    case WM_LBUTTONUP:
        if (m_captured)
        {
            m_captured = 0;
            if (GetCapture() == m_host)
                ReleaseCapture();
        }
        break;
    case WM_CAPTURECHANGED:
        // Somebody else took the mouse: the press is over.
        if (reinterpret_cast<HWND>(lParam) != m_host)
            m_captured = 0;
        break;
    default: break;
    }
    return 0;
}

int CKivDirectBase::ToLocal(POINT* point, int isScreen) const
{
    if (point == nullptr)
        return 0;
    if (isScreen && !ScreenToClient(m_host, point))
        return 0;
    point->x -= m_x;
    point->y -= m_y;
    return 1;
}

int CKivDirectBase::HitTest(POINT local) const
{
    const RECT area{0, 0, m_width, m_height};
    return PtInRect(&area, local) ? 1 : 0;
}

int CKivDirectBase::SetBounds(int x, int y, int width, int height)
{
    if (x == m_x && y == m_y && width == m_width && height == m_height)
        return 0;
    const RECT old = Bounds();
    if (m_host != nullptr)
        InvalidateRect(m_host, &old, TRUE);
    m_x = x;
    m_y = y;
    m_width = width;
    m_height = height;
    return 1;
}

int CKivDirectBase::IsMouseOver(UINT message, WPARAM, LPARAM lParam) const
{
    POINT point{};
    int isScreen = 0;
    switch (message)
    {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: point = PointFromLParam(lParam); break;
    default:
        if (message != KIV_WM_DRAWNBUTTONCLICK)
            return 1;
        if (!GetCursorPos(&point))
            return 0;
        isScreen = 1;
        break;
    }
    return ToLocal(&point, isScreen) ? HitTest(point) : 0;
}

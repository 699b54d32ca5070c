#include "CKivCaptionButtonTracker.h"
#include "CKivGraphics.h"
#include "CKivWindowHelper.h"
#include "CKivWindowDC.h"
#include "CKivWindowPaint.h"

bool CKivCaptionButtonTracker::InBox(POINT p, const KivButtonBox& box)
{
    return CKivGraphics::PtInRectInclusive(p.x, p.y, box.x, box.y, box.x + box.width, box.y + box.height) != 0;
}

bool CKivCaptionButtonTracker::CloseEnabled(HWND window)
{
    if (GetClassLongPtrW(window, GCL_STYLE) & CS_NOCLOSE)
        return false;
    HMENU menu = GetSystemMenu(window, FALSE);
    if (menu == nullptr)
        return true;
    const UINT state = GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND);
    return state == static_cast<UINT>(-1) || (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

bool CKivCaptionButtonTracker::OverDisabledClose(POINT screen) const
{
    return !CloseEnabled(m_window) && InBox(CKivWindowHelper::ScreenToWindow(m_window, screen), m_metrics.closeButton);
}

int CKivCaptionButtonTracker::HitTest(POINT screen) const
{
    const POINT p = CKivWindowHelper::ScreenToWindow(m_window, screen);
    const LONG_PTR style = GetWindowLongPtrW(m_window, GWL_STYLE);
    if (InBox(p, m_metrics.closeButton))
        return CloseEnabled(m_window) ? CloseButton : NoButton;
    if ((style & WS_MAXIMIZEBOX) && InBox(p, m_metrics.maxButton))
        return MaxButton;
    if ((style & WS_MINIMIZEBOX) && InBox(p, m_metrics.minButton))
        return MinButton;
    return NoButton;
}

// Hover and press changes repaint just the buttons, straight onto the window.
int CKivCaptionButtonTracker::Track(const POINT* screen, const int* state)
{
    int closeState = 0, maxState = 0, minState = 0;
    int hit = NoButton;
    // A disabled close keeps its disabled picture and never reacts.
    const bool closeEnabled = CloseEnabled(m_window);
    if (screen)
    {
        const POINT p = CKivWindowHelper::ScreenToWindow(m_window, *screen);
        const int wanted = state ? *state : 0;
        if (InBox(p, m_metrics.closeButton) && closeEnabled)
            hit = CloseButton;
        if (InBox(p, m_metrics.maxButton))
            hit = MaxButton;
        if (InBox(p, m_metrics.minButton))
            hit = MinButton;
        if (hit != NoButton)
        {
            m_state.pressedButton = hit;
            (hit == CloseButton ? closeState : hit == MaxButton ? maxState : minState) = wanted;
        }
    }
    if (m_skin)
    {
        CKivWindowDC dc(m_window);
        const LONG_PTR style = GetWindowLongPtrW(m_window, GWL_STYLE);
        if (closeEnabled)
            m_skin->DrawCaptionButtonTo(dc, 0, closeState);
        if (style & WS_MAXIMIZEBOX)
            m_skin->DrawCaptionButtonTo(dc, (style & WS_MAXIMIZE) ? 2 : 1, maxState);
        if (style & WS_MINIMIZEBOX)
            m_skin->DrawCaptionButtonTo(dc, 3, minState);
    }
    if (hit == NoButton)
        return 0;
    if (state && *state == 2)
    {
        m_state.pressed = 1;
        SetCapture(m_window);
    }
    return 1;
}

void CKivCaptionButtonTracker::OnCapturedMouseMove()
{
    if (!m_state.pressed)
        return;
    POINT cursor = {};
    GetCursorPos(&cursor);
    if (HitTest(cursor) == m_state.pressedButton)
        PostMessageW(m_window, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(cursor.x, cursor.y));
    else
        Track(nullptr, nullptr);
}

void CKivCaptionButtonTracker::OnCapturedButtonUp()
{
    if (!m_state.pressed)
        return;
    m_state.pressed = 0;
    ReleaseCapture();
    POINT cursor = {};
    GetCursorPos(&cursor);
    if (HitTest(cursor) == m_state.pressedButton)
    {
        m_state.releasePending = true;
        PostMessageW(m_window, WM_NCLBUTTONUP, HTCAPTION, MAKELPARAM(cursor.x, cursor.y));
    }
}

int CKivCaptionButtonTracker::TakeRelease(POINT screen)
{
    // Only a release that completes a press on the same button acts.
    const int button = m_state.releasePending ? HitTest(screen) : NoButton;
    m_state.releasePending = false;
    return button;
}

void CKivCaptionButtonTracker::CancelPress()
{
    if (m_state.pressed && GetCapture() == m_window)
        ReleaseCapture();
    m_state.pressed = 0;
}

#include "CKivDirectPushButton.h"
#include "CKivWnd.h"

void CKivDirectPushButton::CheckAndPaint(int checked)
{
    SetChecked(checked);
    Paint(RestingState());
}

LRESULT CKivDirectPushButton::OnPress()
{
    // The base took the capture only for a press inside the button; the
    // press point is the message's, in client coordinates.
    if (!Captured())
        return 0;
    if (m_radioMode)
    {
        if (!m_checked)
            CheckAndPaint(1);
    }
    else
        CheckAndPaint(!m_checked);
    if (m_host != nullptr)
        PostMessageW(m_host, KIV_WM_DRAWNBUTTONCLICK, static_cast<WPARAM>(static_cast<INT_PTR>(m_elementId)), 0);
    return 0;
}

LRESULT CKivDirectPushButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    CKivDirectBase::OnMessage(message, wParam, lParam);
    switch (message)
    {
    case WM_PAINT:
    case WM_MOUSELEAVE: Paint(RestingState()); return 0;
    case WM_MOUSEMOVE:
        if (!IsMouseOver(message, wParam, lParam))
        {
            if (m_state != StatePressed && m_state != StateNormal)
                Paint(RestingState());
        }
        else if (!m_checked && !Captured() && m_state != StateHot)
            PaintHotAndTrack();
        return 0;
    case WM_LBUTTONDOWN: return OnPress();
    default: return 0;
    }
}

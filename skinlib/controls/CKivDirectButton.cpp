#include "CKivDirectButton.h"
#include "CKivClientDC.h"
#include "CKivGdiObject.h"
#include "CKivGraphics.h"
#include "CKivHDCMemory.h"
#include "CKivSelectObject.h"
#include "CKivTextContrast.h"

int CKivDirectButton::Init(int x, int y, int width, int height, HWND host)
{
    CKivDirectBase::Init(x, y, width, height, host);
    m_state = StateNormal;
    m_verticalText = 0;
    SetColors(0xE00000, 0xB00000, 0x990000);
    m_arrow = 0;
    return 1;
}

void CKivDirectButton::SetColors(COLORREF normal, COLORREF hot, COLORREF pressed)
{
    m_normalColor = normal;
    m_hotColor = hot;
    m_pressedColor = pressed;
}

COLORREF CKivDirectButton::ColorOf(int state) const
{
    switch (state)
    {
    case StateHot: return m_hotColor;
    case StatePressed: return m_pressedColor;
    case 4: return 0xA0A000;
    case 5: return 0xA0A012;
    case 6: return 0x12A0A0;
    default: return m_normalColor;
    }
}

void CKivDirectButton::Draw(HDC dc, int state) const
{
    if (dc == nullptr || m_width <= 0 || m_height <= 0)
        return;
    CKivHDCMemoryTemp memory(dc, m_width, m_height);
    if (!memory.IsValid())
        return;
    const HDC mem = memory.GetDC();
    const COLORREF colour = ColorOf(state);
    RECT area = {0, 0, m_width, m_height};
    {
        CKivBrush fill(CreateSolidBrush(colour));
        if (fill)
            FillRect(mem, &area, fill);
    }
    SetBkMode(mem, TRANSPARENT);
    // Dark skins fill the buttons dark: the caption takes whichever of
    // black and white reads better on the fill.
    SetTextColor(mem, CKivTextContrast::ReadableOn(CKivTextContrast::RelativeLuminance(colour)));
    // Without a font of the host's, the skin font at the host's DPI.
    const CKivDpiScale scale = CKivDpiScale::OfWindow(m_host);
    {
        CKivSelectObject font(mem, (m_font != nullptr && !m_verticalText)
                                       ? m_font
                                       : CKivGraphics::GetSkinFontForDpi(m_verticalText ? 1 : 0, scale.Dpi()));
        if (!m_text.empty() && m_verticalText)
        {
            // The vertical font runs downwards: its cell lies left of the
            // reference point, so centre the rotated extent by hand.
            SIZE extent = {};
            GetTextExtentPoint32W(mem, m_text.c_str(), static_cast<int>(m_text.size()), &extent);
            SetTextAlign(mem, TA_TOP | TA_LEFT);
            ExtTextOutW(mem, (m_width + extent.cy) / 2, (m_height - extent.cx) / 2, ETO_CLIPPED, &area,
                        m_text.c_str(), static_cast<UINT>(m_text.size()), nullptr);
        }
        else if (!m_text.empty())
        {
            DrawTextW(mem, m_text.c_str(), static_cast<int>(m_text.size()), &area,
                      DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
        }
    }
    if (m_arrow)
    {
        const POINT origin = {m_width / 2 - scale.Scale(4), m_height / 2 - scale.Scale(2)};
        CKivGraphics::FillArrow(mem, &origin, 1, colour, scale.Scale(4), scale.Scale(8));
    }
    BitBlt(dc, m_x, m_y, m_width, m_height, mem, 0, 0, SRCCOPY);
}

void CKivDirectButton::Paint(int state)
{
    m_state = state;
    if (m_host == nullptr || !IsWindowVisible(m_host))
        return;
    CKivClientDC dc(m_host);
    Draw(dc, state);
}

void CKivDirectButton::PaintHotAndTrack()
{
    Paint(StateHot);
    TRACKMOUSEEVENT track = {sizeof(track), TME_HOVER | TME_LEAVE, m_host, 2000};
    TrackMouseEvent(&track);
}

int CKivDirectButton::SetBounds(int x, int y, int width, int height)
{
    if (!CKivDirectBase::SetBounds(x, y, width, height))
        return 0;
    Paint(StateNormal);
    return 1;
}

LRESULT CKivDirectButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    CKivDirectBase::OnMessage(message, wParam, lParam);
    switch (message)
    {
    case WM_MOUSEMOVE:
        if (IsMouseOver(message, wParam, lParam))
        {
            if (Captured() && m_state != StatePressed)
                Paint(StatePressed);
            else if (!Captured() && m_state != StateHot)
                PaintHotAndTrack();
        }
        else if (m_state != StateNormal)
            Paint(StateNormal);
        break;
    case WM_PAINT:
    case WM_MOUSELEAVE: Paint(StateNormal); break;
    case WM_LBUTTONDOWN:
        if (Captured())
            Paint(StatePressed);
        break;
    case WM_LBUTTONUP:
        if (IsMouseOver(message, wParam, lParam))
            Paint(StateHot);
        break;
    default: break;
    }
    return 0;
}

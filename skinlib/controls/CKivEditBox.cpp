#include "CKivEditBox.h"
#include "CKivGraphics.h"
#include "CKivHostColours.h"
#include "CKivSelectObject.h"
#include "CKivSkinStore.h"
#include "CKivTextContrast.h"
#include "CKivWindowDC.h"
#include "KivSkinSettings.h"

BOOL CKivEditBox::Attach(HWND window)
{
    m_look = Look();
    return CKivScrolledWnd::Attach(window);
}

bool CKivEditBox::Setup(const KivSkinSettings& settings)
{
    if (Window() == nullptr)
        return false;
    Look look;
    look.enableBorder = settings.editControlEnableBorder != 0;
    look.normalColor = static_cast<COLORREF>(settings.editControlNormalColor);
    look.hotColor = static_cast<COLORREF>(settings.editControlHotColor);
    look.transparent = settings.editControlTransparent != 0;
    look.backgroundColor = static_cast<COLORREF>(settings.editControlBackgroundColor);
    look.enableBackgroundColor = settings.editControlEnableBackgroundColor != 0;
    look.backgroundBmp = settings.editControlBackgroundBmp;
    Bars().TakeColours(settings);
    SetLook(look);
    return true;
}

void CKivEditBox::OnSkinChanged(const KivSkinSettings& settings)
{
    Setup(settings);
}

void CKivEditBox::SetLook(const Look& look)
{
    m_look = look;
    // A hidden edit is drawn whole, frame included, when it is shown.
    if (Window() != nullptr && IsWindowVisible(Window()))
        RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

HBRUSH CKivEditBox::BackgroundBrush()
{
    return m_brush.Get(m_look.backgroundColor);
}

bool CKivEditBox::HasPicture() const
{
    return !CKivGraphics::IsSkinRectEmpty(&m_look.backgroundBmp);
}

bool CKivEditBox::PaintsBackground() const
{
    return m_look.transparent || m_look.enableBackgroundColor || HasPicture();
}

LRESULT CKivEditBox::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case KIV_WM_CTLCOLOREDIT: return OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HBRUSH>(lParam));
    case KIV_WM_EDITCHANGE: return OnEditChange();
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return OnFocus(message, wParam, lParam);
    case WM_PAINT: return OnEditPaint(wParam, lParam);
    default: return CKivScrolledWnd::Dispatch(message, wParam, lParam);
    }
}

COLORREF CKivEditBox::SkinTextColour() const
{
    if (m_look.transparent)
        return CKivTextContrast::Current().dialogText;
    if (m_look.enableBackgroundColor)
        return CKivTextContrast::ReadableOn(CKivTextContrast::RelativeLuminance(m_look.backgroundColor & 0x00FFFFFF));
    double luminance = 0.0;
    if (HasPicture() && CKivTextContrast::AverageLuminance(CKivSkinStore::Atlas(), m_look.backgroundBmp, &luminance))
        return CKivTextContrast::ReadableOn(luminance);
    return CLR_INVALID;
}

LRESULT CKivEditBox::OnCtlColor(HDC dc, HBRUSH hostBrush)
{
    if (dc == nullptr)
        return 0;
    // What the host set stays; the skin fills in the rest.
    const UINT message = (!IsWindowEnabled(Window()) || (GetWindowLongPtrW(Window(), GWL_STYLE) & ES_READONLY))
                             ? WM_CTLCOLORSTATIC
                             : WM_CTLCOLOREDIT;
    const CKivHostColours host = CKivHostColours::Read(dc, reinterpret_cast<LRESULT>(hostBrush), message);
    if (host.brush != nullptr)
    {
        SetTextColor(dc, host.TextOn(host.brushColour));
        return reinterpret_cast<LRESULT>(host.brush);
    }
    const COLORREF text = SkinTextColour();
    // Without a background of the skin's the host's answer stands as it is.
    if (text == CLR_INVALID)
        return 0;
    SetTextColor(dc, host.text != CLR_INVALID ? host.text : text);
    SetBkMode(dc, TRANSPARENT);
    if (m_look.transparent || (!m_look.enableBackgroundColor && HasPicture()))
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    return reinterpret_cast<LRESULT>(BackgroundBrush());
}

LRESULT CKivEditBox::OnEditChange()
{
    // The text changed: a drawn background must come back behind all of it.
    // The notification itself always goes on to the parent.
    if (PaintsBackground())
        InvalidateRect(Window(), nullptr, TRUE);
    return 0;
}

LRESULT CKivEditBox::OnFocus(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = Window();
    const LRESULT answer = CKivWnd::WindowProc(message, wParam, lParam);
    if (Window() == window)
        DrawBorder();
    return answer;
}

LRESULT CKivEditBox::OnEditPaint(WPARAM wParam, LPARAM lParam)
{
    // A see-through or pictured background is redrawn whole, so the control
    // repaints all its text over it rather than a piece on stale pixels.
    const HWND window = Window();
    if (wParam == 0 && (m_look.transparent || HasPicture()))
        InvalidateRect(window, nullptr, FALSE);
    const LRESULT answer = CKivWnd::WindowProc(WM_PAINT, wParam, lParam);
    // An edit that draws its one-pixel border inside its client area has
    // just drawn it in the system colour.
    if (Window() == window && wParam == 0 && BorderInsideClient())
        DrawBorder();
    return answer;
}

bool CKivEditBox::BorderInsideClient()
{
    // Wine workaround: Wine's edit takes WS_BORDER off its style at creation
    // (without WS_EX_CLIENTEDGE) and draws the line itself in WM_PAINT; it
    // then keeps its text two pixels further in than the left margin.
    RECT format{};
    CallPrevious(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    const LRESULT margins = CallPrevious(EM_GETMARGINS, 0, 0);
    return format.left > static_cast<LONG>(LOWORD(margins));
}

LRESULT CKivEditBox::OnEraseBkgnd(HDC dc)
{
    RECT client{};
    GetClientRect(Window(), &client);
    if (m_look.transparent)
    {
        CKivGraphics::FillParentBackground(dc, client.right, client.bottom, Window());
        return 1;
    }
    if (!m_look.enableBackgroundColor && HasPicture())
    {
        CKivGraphics::StretchBltFromSkin(dc, 0, 0, client.right, client.bottom, &m_look.backgroundBmp);
        return 1;
    }
    if (m_look.enableBackgroundColor)
    {
        FillRect(dc, &client, BackgroundBrush());
        return 1;
    }
    return CKivWnd::OnEraseBkgnd(dc);
}

void CKivEditBox::DrawBorder()
{
    const HWND window = Window();
    if (!m_look.enableBorder || window == nullptr)
        return;
    // Borderless edits (label editors, spin buddies) get no frame drawn on
    // their text.
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    if (!(style & WS_BORDER) && !(exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE)) && !BorderInsideClient())
        return;
    RECT area{};
    GetWindowRect(window, &area);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    CKivWindowDC dc(window);
    if (!dc)
        return;
    CKivPen outer(CreatePen(PS_SOLID, 1, GetFocus() == window ? m_look.hotColor : m_look.normalColor));
    CKivPen inner(CreatePen(PS_SOLID, 1, 0xFFFFFF));
    CKivSelectObject brush(dc, GetStockObject(NULL_BRUSH));
    {
        CKivSelectObject pen(dc, outer);
        Rectangle(dc, 0, 0, width, height);
    }
    if (exStyle & WS_EX_CLIENTEDGE)
    {
        CKivSelectObject pen(dc, inner);
        Rectangle(dc, 1, 1, width - 1, height - 1);
    }
}

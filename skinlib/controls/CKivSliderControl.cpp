#include "CKivSliderControl.h"
#include "CKivGdiObject.h"
#include "CKivGraphics.h"
#include "KivSkinSettings.h"
#include <windowsx.h>

bool CKivSliderControl::Setup(const KivSkinSettings& settings)
{
    m_thumbDefault = static_cast<COLORREF>(settings.sliderControlThumbDefault);
    m_thumbHot = static_cast<COLORREF>(settings.sliderControlThumbHot);
    m_thumbSelect = static_cast<COLORREF>(settings.sliderControlThumbSelect);
    m_channel = static_cast<COLORREF>(settings.sliderControlChannel);
    return true;
}

void CKivSliderControl::OnSkinChanged(const KivSkinSettings& settings)
{
    Setup(settings);
    if (Window() != nullptr)
        InvalidateRect(Window(), nullptr, TRUE);
}

LRESULT CKivSliderControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Window() == nullptr || PreviousProc() == nullptr)
        return 0;
    switch (message)
    {
    case WM_NOTIFY: return OnNotify(wParam, lParam);
    case WM_CAPTURECHANGED: return OnCaptureChanged(wParam, lParam);
    default: return CKivWnd::WindowProc(message, wParam, lParam);
    }
}

LRESULT CKivSliderControl::OnNotify(WPARAM wParam, LPARAM lParam)
{
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    // Notifications of other windows (the trackbar's tooltip) belong to the control.
    if (header == nullptr || header->hwndFrom != Window())
        return CKivWnd::WindowProc(WM_NOTIFY, wParam, lParam);
    // Our own notifications, handed back by the parent's skin: only custom
    // draw is ours; a zero answer lets the parent have the rest.
    if (header->code != static_cast<UINT>(NM_CUSTOMDRAW))
        return 0;
    return OnCustomDraw(*reinterpret_cast<const NMCUSTOMDRAW*>(lParam));
}

LRESULT CKivSliderControl::OnCustomDraw(const NMCUSTOMDRAW& draw)
{
    if (draw.dwDrawStage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW;
    if (draw.dwDrawStage != CDDS_ITEMPREPAINT || draw.hdc == nullptr)
        return 0;
    switch (draw.dwItemSpec)
    {
    case TBCD_THUMB: DrawThumb(draw.hdc, draw.rc); return CDRF_SKIPDEFAULT;
    case TBCD_CHANNEL: DrawChannel(draw.hdc, draw.rc); return CDRF_SKIPDEFAULT;
    default: return 0;  // the tics keep the system look
    }
}

void CKivSliderControl::DrawThumb(HDC dc, const RECT& thumb) const
{
    const COLORREF colour = m_thumb == ThumbSelected ? m_thumbSelect : m_thumb == ThumbHot ? m_thumbHot : m_thumbDefault;
    CKivBrush brush(CreateSolidBrush(colour));
    FillRect(dc, &thumb, brush);
}

void CKivSliderControl::DrawChannel(HDC dc, const RECT& channel) const
{
    // The background under the whole control first, so the trackbar matches
    // the dialog around it.
    RECT client = {};
    GetClientRect(Window(), &client);
    CKivGraphics::FillParentBackground(dc, client.right, client.bottom, Window());
    CKivBrush brush(CreateSolidBrush(m_channel));
    FillRect(dc, &channel, brush);
}

bool CKivSliderControl::OnThumb(LPARAM point)
{
    RECT thumb = {};
    CallPrevious(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const POINT at = {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    return PtInRect(&thumb, at) != FALSE;
}

void CKivSliderControl::OnLButtonDown(WPARAM wParam, LPARAM lParam)
{
    const HWND window = Window();
    const bool onThumb = OnThumb(lParam);
    CallPrevious(WM_LBUTTONDOWN, wParam, lParam);
    // The trackbar takes the mouse for a drag of the thumb.
    if (Window() == window && onThumb && GetCapture() == window)
        ShowThumb(ThumbSelected);
}

void CKivSliderControl::OnLButtonUp(WPARAM wParam, LPARAM lParam)
{
    const HWND window = Window();
    CallPrevious(WM_LBUTTONUP, wParam, lParam);
    if (Window() == window)
        ShowThumb(OnThumb(lParam) ? ThumbHot : ThumbDefault);
}

void CKivSliderControl::OnMouseMove(WPARAM wParam, LPARAM lParam)
{
    const HWND window = Window();
    CallPrevious(WM_MOUSEMOVE, wParam, lParam);
    if (Window() != window)
        return;
    TrackLeave();
    // While dragged the thumb stays selected wherever the cursor goes.
    if (m_thumb != ThumbSelected)
        ShowThumb(OnThumb(lParam) ? ThumbHot : ThumbDefault);
}

void CKivSliderControl::OnMouseLeave()
{
    m_tracking = false;
    CallPrevious(WM_MOUSELEAVE, 0, 0);
    if (m_thumb == ThumbHot)
        ShowThumb(ThumbDefault);
}

LRESULT CKivSliderControl::OnCaptureChanged(WPARAM wParam, LPARAM lParam)
{
    const HWND window = Window();
    const LRESULT result = CKivWnd::WindowProc(WM_CAPTURECHANGED, wParam, lParam);
    // The drag is over when another window takes the mouse.
    if (Window() == window && m_thumb == ThumbSelected && reinterpret_cast<HWND>(lParam) != window)
        ShowThumb(ThumbDefault);
    return result;
}

void CKivSliderControl::ShowThumb(int state)
{
    if (state == m_thumb)
        return;
    m_thumb = state;
    RedrawNow();
}

void CKivSliderControl::TrackLeave()
{
    if (m_tracking)
        return;
    TRACKMOUSEEVENT track = {};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = Window();
    m_tracking = TrackMouseEvent(&track) != FALSE;
}

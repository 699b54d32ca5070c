#include "CKivDirectScrollBar.h"
#include <algorithm>
#include <cstdlib>
#include "CKivWindowDC.h"


int CKivDirectScrollBar::SetBounds(int x, int y, int width, int height)
{
    if (!CKivDirectBase::SetBounds(x, y, width, height))
        return 0;
    Repaint();
    return 1;
}

void CKivDirectScrollBar::SetInfo(int minimum, int maximum, UINT page, int position)
{
    // An empty or reversed range is still a range: it just has no thumb.
    m_infoChanged = !(m_infoSet && minimum == m_min && maximum == m_max && page == m_page && position == m_pos);
    if (!m_infoChanged)
        return;
    m_min = minimum;
    m_max = maximum;
    m_page = page;
    m_pos = position;
    m_infoSet = true;
    Repaint();
}

long long CKivDirectScrollBar::LastPosition() const
{
    // The highest position the thumb can reach: max + 1 - page, never below min.
    const long long last = static_cast<long long>(m_max) - (m_page > 0 ? static_cast<long long>(m_page) - 1 : 0);
    return std::max<long long>(last, m_min);
}

CKivDpiScale CKivDirectScrollBar::Scale() const
{
    return CKivDpiScale::OfWindow(m_host);
}

CKivDirectScrollBar::Layout CKivDirectScrollBar::Measure() const
{
    Layout layout;
    const CKivDpiScale scale = Scale();
    const int main = std::max(0, MainSize());
    // Too short for two full arrows: each takes half.
    layout.arrow = std::min(scale.Scale(m_arrowSize), main / 2);
    layout.track = main - 2 * layout.arrow;
    const long long range = static_cast<long long>(m_max) - m_min + 1;
    const int minThumb = scale.Scale(kMinThumb);
    if (!m_infoSet || range <= 1 || static_cast<long long>(m_page) >= range || layout.track < minThumb)
        return layout;
    long long length = m_page > 0 ? layout.track * static_cast<long long>(m_page) / range : 0;
    length = std::min<long long>(std::max<long long>(length, minThumb), layout.track);
    layout.thumbLength = static_cast<int>(length);
    const long long span = LastPosition() - m_min;
    const long long room = layout.track - length;
    const long long at = std::min<long long>(std::max<long long>(m_pos, m_min), LastPosition()) - m_min;
    layout.thumbStart = layout.arrow + static_cast<int>(span > 0 ? room * at / span : 0);
    return layout;
}

int CKivDirectScrollBar::PositionAt(int thumbStart) const
{
    const Layout layout = Measure();
    const long long room = layout.track - layout.thumbLength;
    const long long span = LastPosition() - m_min;
    if (layout.thumbLength == 0 || room <= 0 || span <= 0)
        return m_pos;
    const long long offset = std::min<long long>(std::max(0, thumbStart - layout.arrow), room);
    return static_cast<int>(m_min + (offset * span + room / 2) / room);
}

int CKivDirectScrollBar::PartAt(POINT local) const
{
    if (!HitTest(local))
        return PartNone;
    const Layout layout = Measure();
    const int along = m_horizontal ? local.x : local.y;
    const int main = MainSize();
    if (layout.thumbLength > 0 && along >= layout.thumbStart && along < layout.thumbStart + layout.thumbLength)
        return PartThumb;
    if (along >= main - layout.arrow)
        return PartForward;
    if (along < layout.arrow)
        return PartBack;
    if (layout.thumbLength == 0)
        return PartNone;
    return along < layout.thumbStart ? PartPageBack : PartPageForward;
}

int CKivDirectScrollBar::StepCode(int part) const
{
    switch (part)
    {
    case PartForward: return SB_LINEDOWN;
    case PartBack: return SB_LINEUP;
    case PartPageForward: return SB_PAGEDOWN;
    case PartPageBack: return SB_PAGEUP;
    default: return -1;
    }
}

LRESULT CKivDirectScrollBar::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return OnPress(lParam);
    case WM_MOUSEMOVE: return m_dragging ? OnDrag() : 0;
    case WM_LBUTTONUP: return m_dragging ? OnRelease() : 0;
    case WM_TIMER:
        if (wParam != kRepeatTimer)
            return 0;
        return m_dragging ? OnRepeat() : 1;
    case WM_CANCELMODE:
        if (m_dragging)
            Stop(true);
        return 0;
    case WM_CAPTURECHANGED:
        // The repeat and the drag end with the capture.
        if (m_dragging && reinterpret_cast<HWND>(lParam) != m_host)
            Stop(true);
        return 0;
    default: return 0;
    }
}

LRESULT CKivDirectScrollBar::OnPress(LPARAM lParam)
{
    POINT point = PointFromLParam(lParam);
    if (!ToLocal(&point, 0) || !HitTest(point))
        return 0;
    m_part = PartAt(point);
    m_dragging = true;
    m_captured = m_useCapture ? 1 : 0;
    GetCursorPos(&m_down);
    const Layout layout = Measure();
    m_dragStart = layout.thumbStart;
    m_dragThumb = layout.thumbStart;
    m_trackPos = m_pos;
    m_pressPos = m_pos;
    if (m_useCapture)
        SetCapture(m_host);
    Repaint();
    const int code = StepCode(m_part);
    if (code >= 0)
    {
        SetTimer(m_host, kRepeatTimer, kFirstRepeatMs, nullptr);
        Request(code, m_pos);
    }
    return 1;
}

LRESULT CKivDirectScrollBar::OnDrag()
{
    if (m_part != PartThumb)
    {
        // The pressed look follows the cursor on and off the pressed part.
        Repaint();
        return 1;
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    const int across = m_horizontal ? cursor.y - m_down.y : cursor.x - m_down.x;
    const int along = m_horizontal ? cursor.x - m_down.x : cursor.y - m_down.y;
    const Layout layout = Measure();
    const int snapBack = Scale().Scale(kSnapBack);
    int thumb = m_dragStart;
    if (std::abs(across) <= snapBack)
        thumb = std::min(std::max(m_dragStart + along, layout.arrow), layout.arrow + layout.track - layout.thumbLength);
    // Sideways too far, or back on its first pixel: the thumb stands for the
    // position the drag began from (a pixel spans many positions of a long range).
    const int position = (std::abs(across) > snapBack || thumb == m_dragStart) ? m_pressPos : PositionAt(thumb);
    if (thumb == m_dragThumb && position == m_trackPos)
        return 1;
    m_dragThumb = thumb;
    m_trackPos = position;
    Repaint();
    Request(SB_THUMBTRACK, position);
    return 1;
}

LRESULT CKivDirectScrollBar::OnRelease()
{
    Stop(true);
    return 1;
}

void CKivDirectScrollBar::Stop(bool notify)
{
    if (!m_dragging)
        return;
    const int part = m_part;
    KillTimer(m_host, kRepeatTimer);
    m_dragging = false;
    m_part = PartNone;
    if (m_captured)
    {
        m_captured = 0;
        if (GetCapture() == m_host)
            ReleaseCapture();
    }
    Repaint();
    if (!notify)
        return;
    if (part == PartThumb)
    {
        // The host reads the final track position while it takes it.
        m_reportingTrack = true;
        Request(SB_THUMBPOSITION, m_trackPos);
        m_reportingTrack = false;
    }
    Request(SB_ENDSCROLL, m_pos);
}

bool CKivDirectScrollBar::OnPressedPart() const
{
    POINT cursor{};
    if (!GetCursorPos(&cursor) || !ToLocal(&cursor, 1))
        return false;
    return PartAt(cursor) == m_part;
}

LRESULT CKivDirectScrollBar::OnRepeat()
{
    const int code = StepCode(m_part);
    if (code < 0)
        return 1;
    // Off the pressed part the steps pause; the timer keeps running.
    SetTimer(m_host, kRepeatTimer, kRepeatMs, nullptr);
    if (OnPressedPart())
        Request(code, m_pos);
    return 1;
}

void CKivDirectScrollBar::Request(int code, int position)
{
    if (m_notify)
        m_notify(code, position);
}

void CKivDirectScrollBar::Repaint() const
{
    if (!m_selfPainting || m_host == nullptr || m_width <= 0 || m_height <= 0 || !IsWindowVisible(m_host))
        return;
    RECT window{};
    POINT origin{0, 0};
    if (!GetWindowRect(m_host, &window) || !ClientToScreen(m_host, &origin))
        return;
    CKivWindowDC dc(m_host);
    if (dc)
        Draw(dc, m_x + origin.x - window.left, m_y + origin.y - window.top);
}

void CKivDirectScrollBar::Draw(HDC dc, int x, int y) const
{
    const Layout layout = Measure();
    const bool pressedShown = m_dragging && OnPressedPart();
    const bool dragged = m_dragging && m_part == PartThumb;
    CKivScrollBarPaint::Geometry geometry;
    geometry.horizontal = m_horizontal;
    geometry.width = m_width;
    geometry.height = m_height;
    geometry.arrow = layout.arrow;
    geometry.thumbStart = dragged ? m_dragThumb : layout.thumbStart;
    geometry.thumbLength = layout.thumbLength;
    geometry.backPressed = pressedShown && m_part == PartBack;
    geometry.forwardPressed = pressedShown && m_part == PartForward;
    geometry.thumbPressed = dragged;
    geometry.dpi = Scale().Dpi();
    CKivScrollBarPaint::Draw(dc, x, y, geometry, m_colours);
}

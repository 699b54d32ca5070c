#include "CKivDirectProgress.h"
#include "CKivClientDC.h"
#include "CKivGdiObject.h"
#include "CKivGraphics.h"
#include "CKivHDCMemory.h"
#include <algorithm>
#include <cmath>

int CKivDirectProgress::Init6(int x, int y, int width, int height, HWND host, int horizontal)
{
    m_horizontal = horizontal ? 1 : 0;
    return Init(x, y, width, height, host);
}

void CKivDirectProgress::SetLook(COLORREF colour, const RECT& picture, int enablePicture)
{
    m_progressColor = colour;
    m_progressPic = picture;
    m_enablePic = enablePicture ? 1 : 0;
}

LRESULT CKivDirectProgress::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CKivDirectBase::OnMessage(message, wParam, lParam);
    if (message == WM_PAINT)
        Repaint();
    return result;
}

int CKivDirectProgress::SetBounds(int x, int y, int width, int height)
{
    const int changed = CKivDirectBase::SetBounds(x, y, width, height);
    Repaint();
    return changed;
}

void CKivDirectProgress::Show(int minimum, int maximum, int position)
{
    m_min = minimum;
    m_max = maximum;
    m_pos = position;
}

int CKivDirectProgress::FillLength(int minimum, int maximum, int position, int length)
{
    if (length <= 0 || minimum > maximum || position < minimum || position > maximum)
        return 0;
    if (position == maximum)
        return length;
    // In double precision: max - min + 1 overflows 32 bits for INT_MIN..INT_MAX.
    const double done = static_cast<double>(position) - minimum + 1.0;
    const double span = static_cast<double>(maximum) - minimum + 1.0;
    const double filled = std::ceil(done * length / span);
    return static_cast<int>(std::clamp(filled, 0.0, static_cast<double>(length)));
}

void CKivDirectProgress::Repaint()
{
    if (m_host == nullptr || !IsWindowVisible(m_host))
        return;
    CKivClientDC dc(m_host);
    if (dc)
        Paint(dc);
}

void CKivDirectProgress::Paint(HDC dc) const
{
    if (dc == nullptr || m_width <= 0 || m_height <= 0)
        return;
    CKivHDCMemory canvas(dc, m_width, m_height);
    if (!canvas.IsValid())
        return;
    const HDC memory = canvas.GetDC();
    const RECT whole = {0, 0, m_width, m_height};
    FillRect(memory, &whole, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const int length = FillLength(m_min, m_max, m_pos, m_horizontal ? m_width : m_height);
    if (!m_empty && length > 0)
    {
        // The margin around the fill is a pixel at 96 DPI, scaled with the host.
        const CKivDpiScale scale = CKivDpiScale::OfWindow(m_host);
        const int inset = scale.Scale(1);
        RECT fill = m_horizontal ? RECT{0, 0, length, m_height} : RECT{0, m_height - length, m_width, m_height};
        InflateRect(&fill, -inset, -inset);
        if (fill.right > fill.left && fill.bottom > fill.top)
        {
            // A skin without the picture falls back to the colour.
            if (m_enablePic && !CKivGraphics::IsSkinRectEmpty(&m_progressPic))
            {
                if (scale.IsUnit())
                    CKivGraphics::StretchBltFromSkinRect(memory, &fill, &m_progressPic);
                else
                    CKivGraphics::StretchBltFromSkinScaled(memory, fill.left, fill.top, fill.right - fill.left,
                                                           fill.bottom - fill.top, &m_progressPic, scale);
            }
            else
            {
                CKivBrush brush(CreateSolidBrush(m_progressColor));
                FillRect(memory, &fill, brush);
            }
        }
    }
    BitBlt(dc, m_x, m_y, m_width, m_height, memory, 0, 0, SRCCOPY);
}

#include "CKivShadowSurface.h"
#include "CKivGraphics.h"
#include <cmath>
#include <cstring>
#include <new>

namespace {

BYTE Clamp(double alpha)
{
    if (alpha <= 0.0)
        return 0;
    if (alpha >= 255.0)
        return 255;
    return static_cast<BYTE>(alpha);
}

}  // namespace

CKivShadowSurface::~CKivShadowSurface()
{
    Clear();
}

void CKivShadowSurface::Clear()
{
    m_select.reset();
    m_dc.reset();
    m_bitmap.Reset(nullptr);
    m_bits = nullptr;
    m_width = 0;
    m_height = 0;
}

bool CKivShadowSurface::TooLarge(int width, int height)
{
    return width > kMaxSide || height > kMaxSide || static_cast<long long>(width) * height > kMaxPixels;
}

BYTE CKivShadowSurface::InnerBandAlpha(int line, int band)
{
    return band > 0 ? Clamp(line * kMaxAlpha / static_cast<double>(band)) : 0;
}

BYTE CKivShadowSurface::OuterBandAlpha(int line, int band)
{
    return band > 0 ? Clamp(kMaxAlpha - line * kMaxAlpha / static_cast<double>(band)) : 0;
}

BYTE CKivShadowSurface::CornerAlpha(int dx, int dy, int band)
{
    if (band <= 0)
        return 0;
    const double d = std::sqrt(static_cast<double>(dx * dx + dy * dy));
    return d < band ? Clamp(kMaxAlpha - kMaxAlpha * (1.0 / band) * d) : 0;
}

bool CKivShadowSurface::Allocate(int width, int height)
{
    if (m_dc && width == m_width && height == m_height)
        return true;
    Clear();
    BITMAPINFO info = CKivGraphics::TopDown32(width, height);
    void* bits = nullptr;
    m_bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    m_dc.reset(new (std::nothrow) CKivCompatibleDC(nullptr));
    if (!m_bitmap || bits == nullptr || !m_dc || m_dc->Get() == nullptr)
    {
        Clear();
        return false;
    }
    m_select.reset(new (std::nothrow) CKivSelectObject(m_dc->Get(), m_bitmap.Get()));
    if (!m_select)
    {
        Clear();
        return false;
    }
    m_bits = static_cast<DWORD*>(bits);
    m_width = width;
    m_height = height;
    return true;
}

DWORD CKivShadowSurface::Pixel(int x, int y) const
{
    if (m_bits == nullptr || x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    GdiFlush();
    return m_bits[static_cast<size_t>(y) * m_width + x];
}

// Layered windows take premultiplied colour: each channel scaled by alpha.
void CKivShadowSurface::Put(int x, int y, BYTE alpha)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    const DWORD r = GetRValue(m_colour) * alpha / 255;
    const DWORD g = GetGValue(m_colour) * alpha / 255;
    const DWORD b = GetBValue(m_colour) * alpha / 255;
    m_bits[static_cast<size_t>(y) * m_width + x] = (static_cast<DWORD>(alpha) << 24) | (r << 16) | (g << 8) | b;
}

void CKivShadowSurface::HorizontalLine(int y, int x0, int x1, BYTE alpha)
{
    for (int x = x0; x <= x1; ++x)
        Put(x, y, alpha);
}

void CKivShadowSurface::VerticalLine(int x, int y0, int y1, BYTE alpha)
{
    for (int y = y0; y <= y1; ++y)
        Put(x, y, alpha);
}

// A band x band corner piece at (left, top), fading with the distance from
// the centre (cx, cy) given in the piece's own coordinates.
void CKivShadowSurface::Corner(int left, int top, int cx, int cy, int band)
{
    for (int y = 0; y < band; ++y)
        for (int x = 0; x < band; ++x)
            Put(left + x, top + y, CornerAlpha(x - cx, y - cy, band));
    if (cx < band && cy < band)
        Put(left + cx, top + cy, kEdgeAlpha);
}

bool CKivShadowSurface::Render(int width, int height, COLORREF colour, int band)
{
    if (band < 1 || width < 2 * band + 1 || height < 2 * band + 1 || TooLarge(width, height) || !Allocate(width, height))
    {
        Clear();
        return false;
    }
    GdiFlush();
    m_colour = colour;
    std::memset(m_bits, 0, static_cast<size_t>(width) * height * sizeof(DWORD));
    // w x h is the inside of the bands; the edge lines outline it.
    const int w = width - 2 * band;
    const int h = height - 2 * band;
    Corner(0, 0, band, band, band);
    for (int i = 0; i < band; ++i)
        VerticalLine(i, band, h + band - 1, InnerBandAlpha(i, band));
    VerticalLine(band, band, h + band - 1, kEdgeAlpha);
    Corner(0, h + band, band, 0, band);
    for (int i = 0; i < band; ++i)
        HorizontalLine(i, band, w + band - 1, InnerBandAlpha(i, band));
    HorizontalLine(band, band, w + band - 1, kEdgeAlpha);
    Corner(w + band, 0, 0, band, band);
    for (int i = 0; i < band; ++i)
        VerticalLine(w + band + i, band, h + band - 1, OuterBandAlpha(i, band));
    VerticalLine(w + band, band, h + band - 1, kEdgeAlpha);
    Corner(w + band, h + band, 0, 0, band);
    for (int i = 0; i < band; ++i)
        HorizontalLine(h + band + i, band, w + band - 1, OuterBandAlpha(i, band));
    HorizontalLine(h + band, band, w + band - 1, kEdgeAlpha);
    return true;
}

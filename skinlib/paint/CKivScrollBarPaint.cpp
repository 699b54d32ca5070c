#include "CKivScrollBarPaint.h"
#include <algorithm>
#include "CKivDpiScale.h"
#include "CKivGdiObject.h"
#include "CKivGraphics.h"
#include "CKivHDCMemory.h"
#include "CKivSelectObject.h"

namespace {

BYTE Mix(BYTE from, BYTE to, int percent)
{
    return static_cast<BYTE>(from + (static_cast<int>(to) - static_cast<int>(from)) * percent / 100);
}

void DrawBox(HDC dc, const RECT& box, COLORREF fill, COLORREF border, const CKivDpiScale& scale)
{
    CKivBrush brush(CreateSolidBrush(fill));
    // A wider outline stays inside the box, as the hairline does.
    const int line = scale.Scale(1);
    CKivPen pen(CreatePen(line > 1 ? PS_INSIDEFRAME : PS_SOLID, line, border));
    CKivSelectObject selectBrush(dc, brush);
    CKivSelectObject selectPen(dc, pen);
    Rectangle(dc, box.left, box.top, box.right, box.bottom);
}

// One arrow button: outline and fill, with a triangle pointing along the bar.
void DrawArrowButton(HDC dc, const RECT& box, int direction, COLORREF fill, COLORREF border, bool disabled,
                     const CKivDpiScale& scale)
{
    DrawBox(dc, box, fill, border, scale);
    const int cx = (box.left + box.right) / 2;
    const int cy = (box.top + box.bottom) / 2;
    const bool vertical = direction <= 1;
    const int cross = static_cast<int>(vertical ? box.right - box.left : box.bottom - box.top);
    const int base = std::min(scale.Scale(vertical ? 10 : 5), std::max(0, cross - scale.Scale(4)));
    const int depth = vertical ? base / 2 : base;
    const int across = vertical ? base : base * 2;
    if (base <= 0)
        return;
    const POINT origin = vertical ? POINT{cx - across / 2, cy - depth / 2} : POINT{cx - depth / 2, cy - across / 2};
    // FillArrow darkens what it is given: hand it the colour that darkens
    // into the one wanted.
    const COLORREF wanted = CKivScrollBarPaint::ArrowColour(fill, disabled);
    const COLORREF given = RGB((GetRValue(wanted) + 50) & 0xFF, (GetGValue(wanted) + 50) & 0xFF, (GetBValue(wanted) + 50) & 0xFF);
    CKivGraphics::FillArrow(dc, &origin, direction, given, depth, across);
}

}  // namespace

COLORREF CKivScrollBarPaint::ArrowColour(COLORREF fill, bool disabled)
{
    const COLORREF arrow = CKivGraphics::DarkenColor(fill);
    if (!disabled)
        return arrow;
    const int percent = 65;
    return RGB(Mix(GetRValue(arrow), GetRValue(fill), percent), Mix(GetGValue(arrow), GetGValue(fill), percent),
               Mix(GetBValue(arrow), GetBValue(fill), percent));
}

CKivScrollBarPaint::Colours CKivScrollBarPaint::FromKeys(int bar, int barBorder, int slider, int sliderBorder,
                                                         int background)
{
    Colours colours;
    colours.bar = static_cast<COLORREF>(bar) & 0x00FFFFFF;
    colours.barBorder = static_cast<COLORREF>(barBorder) & 0x00FFFFFF;
    colours.slider = static_cast<COLORREF>(slider) & 0x00FFFFFF;
    colours.sliderBorder = static_cast<COLORREF>(sliderBorder) & 0x00FFFFFF;
    colours.background = static_cast<COLORREF>(background) & 0x00FFFFFF;
    return colours;
}

bool CKivScrollBarPaint::Geometry::operator==(const Geometry& o) const
{
    return horizontal == o.horizontal && width == o.width && height == o.height && arrow == o.arrow &&
           thumbStart == o.thumbStart && thumbLength == o.thumbLength && backPressed == o.backPressed &&
           forwardPressed == o.forwardPressed && thumbPressed == o.thumbPressed && backDisabled == o.backDisabled &&
           forwardDisabled == o.forwardDisabled && dpi == o.dpi;
}

void CKivScrollBarPaint::Draw(HDC dc, int x, int y, const Geometry& g, const Colours& colours)
{
    if (dc == nullptr || g.width <= 0 || g.height <= 0)
        return;
    CKivHDCMemoryTemp canvas(dc, g.width, g.height);
    if (!canvas.IsValid())
        return;
    Compose(canvas.GetDC(), g, colours);
    BitBlt(dc, x, y, g.width, g.height, canvas.GetDC(), 0, 0, SRCCOPY);
}

void CKivScrollBarPaint::Compose(HDC memory, const Geometry& g, const Colours& colours)
{
    if (memory == nullptr || g.width <= 0 || g.height <= 0)
        return;
    {
        CKivBrush track(CreateSolidBrush(colours.background));
        const RECT all{0, 0, g.width, g.height};
        FillRect(memory, &all, track);
    }
    const CKivDpiScale scale(g.dpi);
    const int main = g.horizontal ? g.width : g.height;
    const int arrow = std::min(g.arrow, main / 2);
    if (arrow > 0)
    {
        const RECT back = g.horizontal ? RECT{0, 0, arrow, g.height} : RECT{0, 0, g.width, arrow};
        const RECT forward = g.horizontal ? RECT{main - arrow, 0, main, g.height} : RECT{0, main - arrow, g.width, main};
        DrawArrowButton(memory, back, g.horizontal ? 2 : 0, g.backPressed ? colours.slider : colours.bar,
                        g.backPressed ? colours.sliderBorder : colours.barBorder, g.backDisabled, scale);
        DrawArrowButton(memory, forward, g.horizontal ? 3 : 1, g.forwardPressed ? colours.slider : colours.bar,
                        g.forwardPressed ? colours.sliderBorder : colours.barBorder, g.forwardDisabled, scale);
    }
    if (g.thumbLength > 0)
    {
        const RECT thumb = g.horizontal ? RECT{g.thumbStart, 0, g.thumbStart + g.thumbLength, g.height}
                                        : RECT{0, g.thumbStart, g.width, g.thumbStart + g.thumbLength};
        DrawBox(memory, thumb, g.thumbPressed ? colours.slider : colours.bar,
                g.thumbPressed ? colours.sliderBorder : colours.barBorder, scale);
    }
}

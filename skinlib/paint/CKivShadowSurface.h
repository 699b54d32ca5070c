#pragma once
#include <windows.h>
#include <memory>
#include "CKivCompatibleDC.h"
#include "CKivGdiObject.h"
#include "CKivSelectObject.h"

// The picture of a glow window: a 32-bpp top-down DIB with premultiplied
// alpha, selected into its own memory context, ready for UpdateLayeredWindow.
// The ring of shadow lies in the outer bands (9 pixels left and top, 8 right
// and bottom at 96 DPI; a band of another width scales them); the inside
// stays fully transparent.
class CKivShadowSurface
{
public:
    CKivShadowSurface() = default;
    ~CKivShadowSurface();
    CKivShadowSurface(const CKivShadowSurface&) = delete;
    CKivShadowSurface& operator=(const CKivShadowSurface&) = delete;

    // Paints the shadow for a glow of width x height in colour (0x00BBGGRR).
    // The bitmap is kept while the size stays; false (and nothing kept) when
    // the size is outside the bounds or the bitmap cannot be made.
    bool Render(int width, int height, COLORREF colour, int band = kUnitBand);
    void Clear();

    HDC GetDC() const { return m_dc ? m_dc->Get() : nullptr; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The stored pixel as 0xAARRGGBB (premultiplied); 0 outside the bitmap.
    DWORD Pixel(int x, int y) const;

    // The straight (not premultiplied) alpha of each shadow element, as
    // painted; the constant alpha of the layered window comes on top.
    static constexpr BYTE kEdgeAlpha = 255;
    static constexpr int kMaxAlpha = 90;
    // The band's width at 96 DPI.
    static constexpr int kUnitBand = 8;
    static BYTE InnerBandAlpha(int line, int band = kUnitBand);  // left and top bands, line 0 outermost
    static BYTE OuterBandAlpha(int line, int band = kUnitBand);  // right and bottom bands, line 0 innermost
    static BYTE CornerAlpha(int dx, int dy, int band = kUnitBand);  // by offset from the corner's centre

    // A glow of this size is refused: its bitmap would be unreasonably large.
    static bool TooLarge(int width, int height);
    static constexpr int kMaxSide = 16384;
    static constexpr long long kMaxPixels = 4096LL * 4096LL;

private:
    bool Allocate(int width, int height);
    void Put(int x, int y, BYTE alpha);
    void HorizontalLine(int y, int x0, int x1, BYTE alpha);
    void VerticalLine(int x, int y0, int y1, BYTE alpha);
    void Corner(int left, int top, int cx, int cy, int band);

    // Declared in release order reversed: the selection goes first, then
    // the context, then the bitmap.
    CKivBitmap m_bitmap;
    std::unique_ptr<CKivCompatibleDC> m_dc;
    std::unique_ptr<CKivSelectObject> m_select;
    DWORD* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
    COLORREF m_colour = 0;
};

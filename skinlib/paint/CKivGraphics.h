#pragma once
#include <windows.h>
#include "CKivDpiScale.h"

// Static drawing services shared by every skin object. A skin picture reaches
// the screen only through StretchBltFromSkin: the atlas piece at its natural
// size, stretched (never tiled), with pure black RGB(0, 0, 0) transparent.
class CKivGraphics
{
public:
    virtual ~CKivGraphics() = default;

    static BOOL StretchBltFromSkin(HDC dc, int x, int y, int cx, int cy, const RECT* source, DWORD rop = SRCCOPY);
    static BOOL StretchBltFromSkinRect(HDC dc, const RECT* destination, const RECT* source);
    // A picture drawn whole at a DPI scale (caption buttons, check marks):
    // the unit scale is StretchBltFromSkin itself; any other scale stretches
    // the colour with a smoothing filter and keeps the transparent outline.
    static BOOL StretchBltFromSkinScaled(HDC dc, int x, int y, int cx, int cy, const RECT* source,
                                         const CKivDpiScale& scale);
    // A picture stretched over a box with its corners kept: at a scale other
    // than the unit, each corner square of corner atlas pixels is drawn at
    // the scale, the edges between them are stretched along their length
    // and the middle over the rest, all smoothed. The unit scale, a corner of
    // 0, or a picture or box too small for two corners each way draw the
    // picture whole, as StretchBltFromSkinScaled does.
    static BOOL StretchBltFromSkinCorners(HDC dc, const RECT& destination, const RECT* source, int corner,
                                          const CKivDpiScale& scale);
    // The keyed path: the piece copied out, then TransparentBlt per call. Slow
    // under Wine; kept as the reference the cached path must match.
    static BOOL StretchBltFromSkinKeyed(HDC dc, int x, int y, int cx, int cy, const RECT* source);
    static BOOL TransparentBltBitmap(HDC dc, HBITMAP bitmap, int x, int y, int cx, int cy, int sourceWidth, int sourceHeight);

    static BOOL FillParentBackground(HDC dc, int cx, int cy, HWND control);
    static BOOL FillBackgroundPart(HDC dc, int offsetX, int offsetY, int cx, int cy);
    static BOOL FillArrow(HDC dc, const POINT* origin, int direction, COLORREF colour, int depth, int base);
    // Each of red, green and blue reduced by 50, stopping at 0.
    static COLORREF DarkenColor(COLORREF colour);

    // 0: the control font; any other index: the vertical font.
    static HFONT GetSkinFont(int index);
    static bool IsSkinFontCreated(int index);
    // The same font at a DPI: at 96 the cached font above, else one made
    // once per DPI, its height scaled.
    static HFONT GetSkinFontForDpi(int index, int dpi);

    static BOOL PtInRectInclusive(int x, int y, int left, int top, int right, int bottom);
    static BOOL IsSkinRectEmpty(const RECT* rect);
    static SIZE* GetTextExtent(HDC dc, const wchar_t* text, SIZE* out);
    // Header of a 32-bpp, top-down, uncompressed bitmap: rows from the top,
    // one DWORD per pixel, as CreateDIBSection and GetDIBits take it.
    static BITMAPINFO TopDown32(int width, int height);
    // A part of a bitmap copied into a new 32-bpp top-down DIB section,
    // whatever the source's own depth; pixels gets its rows (readable at
    // once: the copy is flushed). The caller owns the bitmap; null on failure.
    static HBITMAP CopyTopDown32(HBITMAP source, const RECT& area, DWORD** pixels);

    // Prepared pieces currently held (they are dropped when a new skin loads).
    static size_t CachedPieceCount();
    static void DropPieceCache();

    // Largest pixel buffer a single piece or surface may ask for.
    static const unsigned long long kMaxPixelBytes = 64ull * 1024 * 1024;
};

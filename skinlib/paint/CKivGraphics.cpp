#include "CKivGraphics.h"
#include "CKivCompatibleDC.h"
#include "CKivGdiObject.h"
#include "CKivHDCMemory.h"
#include "CKivSelectObject.h"
#include "CKivSkinStore.h"
#include <climits>
#include <cstdint>
#include <map>
#include <memory>
#include <new>
#include <tuple>
#include <vector>

namespace {

// A skin piece prepared once per loaded skin: the colour pixels (black where
// transparent) and a monochrome mask (1 where transparent). Two stretch blits
// then give what a keyed TransparentBlt gives, without its per-call cost.
struct SkinPiece
{
    CKivBitmap colour;
    CKivBitmap mask;
    int width = 0;
    int height = 0;
    bool anyTransparent = false;
    bool anyOpaque = false;
};

struct PieceKey
{
    LONG left, top, right, bottom;
    bool operator<(const PieceKey& other) const
    {
        return std::tie(left, top, right, bottom) < std::tie(other.left, other.top, other.right, other.bottom);
    }
};

struct PieceCache
{
    unsigned generation = 0;
    HBITMAP atlas = nullptr;
    std::map<PieceKey, std::unique_ptr<SkinPiece>> pieces;
};

// Background parts are cut at arbitrary offsets; past this many pieces the
// cache starts over rather than grow without bound.
const size_t kMaxCachedPieces = 256;

PieceCache& Cache()
{
    static PieceCache cache;
    return cache;
}

bool FitsPixelBudget(long long width, long long height)
{
    return width > 0 && height > 0 && width <= CKivHDCMemory::kMaxSide && height <= CKivHDCMemory::kMaxSide &&
           static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height) * 4ull <=
               CKivGraphics::kMaxPixelBytes;
}

bool AtlasSize(HBITMAP atlas, LONG* width, LONG* height)
{
    BITMAP info = {};
    if (atlas == nullptr || GetObjectW(atlas, sizeof(info), &info) == 0)
        return false;
    *width = info.bmWidth;
    *height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    return true;
}

std::unique_ptr<SkinPiece> BuildPiece(HBITMAP atlas, const RECT& source)
{
    const int width = source.right - source.left;
    const int height = source.bottom - source.top;
    if (!FitsPixelBudget(width, height))
        return nullptr;
    std::unique_ptr<SkinPiece> piece(new (std::nothrow) SkinPiece);
    if (!piece)
        return nullptr;
    DWORD* bits = nullptr;
    piece->colour.Reset(CKivGraphics::CopyTopDown32(atlas, source, &bits));
    if (!piece->colour)
        return nullptr;

    // Monochrome rows are padded to 16 bits; a set bit is a transparent pixel.
    const size_t stride = ((static_cast<size_t>(width) + 15) / 16) * 2;
    std::vector<BYTE> maskBits;
    try
    {
        maskBits.assign(stride * static_cast<size_t>(height), 0);
    }
    catch (...)
    {
        return nullptr;
    }
    uint32_t* pixel = reinterpret_cast<uint32_t*>(bits);
    for (int row = 0; row < height; ++row)
    {
        BYTE* maskRow = maskBits.data() + stride * static_cast<size_t>(row);
        for (int column = 0; column < width; ++column, ++pixel)
        {
            *pixel &= 0x00FFFFFFu;  // no stray alpha may be ORed into the destination
            if (*pixel == 0)
            {
                maskRow[column >> 3] |= static_cast<BYTE>(0x80u >> (column & 7));
                piece->anyTransparent = true;
            }
            else
            {
                piece->anyOpaque = true;
            }
        }
    }
    if (piece->anyTransparent)
    {
        piece->mask.Reset(CreateBitmap(width, height, 1, 1, maskBits.data()));
        if (!piece->mask)
            return nullptr;
    }
    piece->width = width;
    piece->height = height;
    return piece;
}

const SkinPiece* FindPiece(HBITMAP atlas, const RECT& source)
{
    PieceCache& cache = Cache();
    if (cache.generation != CKivSkinStore::Generation() || cache.atlas != atlas)
    {
        cache.pieces.clear();
        cache.generation = CKivSkinStore::Generation();
        cache.atlas = atlas;
    }
    const PieceKey key = {source.left, source.top, source.right, source.bottom};
    auto found = cache.pieces.find(key);
    if (found != cache.pieces.end())
        return found->second.get();
    std::unique_ptr<SkinPiece> piece = BuildPiece(atlas, source);
    if (!piece)
        return nullptr;
    if (cache.pieces.size() >= kMaxCachedPieces)
        cache.pieces.clear();
    const SkinPiece* result = piece.get();
    cache.pieces.emplace(key, std::move(piece));
    return result;
}

// One memory context serves every prepared piece; making one per blit costs
// more than many of the blits themselves.
HDC PieceContext()
{
    static CKivCompatibleDC context(nullptr);
    return context.Get();
}

BOOL DrawPiece(HDC dc, const SkinPiece& piece, int x, int y, int cx, int cy)
{
    if (!piece.anyOpaque)
        return TRUE;
    const HDC pieceDC = PieceContext();
    if (!pieceDC)
        return FALSE;
    if (cx < piece.width || cy < piece.height)
    {
        // Shrinking merges source pixels, and the keyed blit decides
        // transparency after merging; only the keyed blit itself gives the
        // same pixels there. Skins rarely shrink a picture.
        CKivSelectObject select(pieceDC, piece.colour.Get());
        return TransparentBlt(dc, x, y, cx, cy, pieceDC, 0, 0, piece.width, piece.height, RGB(0, 0, 0));
    }
    // Nearest-pixel stretching on both blits, so mask and colour pick the same
    // source pixels and no colour bleeds across the transparent edge.
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    BOOL drawn = FALSE;
    if (!piece.anyTransparent)
    {
        CKivSelectObject select(pieceDC, piece.colour.Get());
        drawn = StretchBlt(dc, x, y, cx, cy, pieceDC, 0, 0, piece.width, piece.height, SRCCOPY);
    }
    else
    {
        const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
        const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
        {
            CKivSelectObject select(pieceDC, piece.mask.Get());
            drawn = StretchBlt(dc, x, y, cx, cy, pieceDC, 0, 0, piece.width, piece.height, SRCAND);
        }
        if (drawn)
        {
            CKivSelectObject select(pieceDC, piece.colour.Get());
            drawn = StretchBlt(dc, x, y, cx, cy, pieceDC, 0, 0, piece.width, piece.height, SRCPAINT);
        }
        SetTextColor(dc, oldText);
        SetBkColor(dc, oldBack);
    }
    if (oldMode)
        SetStretchBltMode(dc, oldMode);
    return drawn;
}

// A piece stretched whole with a smoothing filter, for pictures that are
// drawn at another scale than they were made for. The colour is filtered; the
// transparent pixels are chosen by the nearest source pixel, as at the unit
// scale, so the picture keeps its outline and nothing of the key colour is
// smeared into the destination.
BOOL DrawPieceSmooth(HDC dc, const SkinPiece& piece, int x, int y, int cx, int cy)
{
    if (!piece.anyOpaque)
        return TRUE;
    if (!FitsPixelBudget(cx, cy))
        return FALSE;
    const HDC pieceDC = PieceContext();
    BITMAPINFO info = CKivGraphics::TopDown32(cx, cy);
    void* bits = nullptr;
    CKivBitmap scaled(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    CKivCompatibleDC scaledDC(nullptr);
    if (!pieceDC || !scaled || !scaledDC)
        return FALSE;
    CKivSelectObject selectScaled(scaledDC, scaled.Get());
    BOOL drawn = FALSE;
    {
        SetStretchBltMode(scaledDC, HALFTONE);
        SetBrushOrgEx(scaledDC, 0, 0, nullptr);
        CKivSelectObject select(pieceDC, piece.colour.Get());
        drawn = StretchBlt(scaledDC, 0, 0, cx, cy, pieceDC, 0, 0, piece.width, piece.height, SRCCOPY);
    }
    if (!drawn)
        return FALSE;
    if (!piece.anyTransparent)
        return BitBlt(dc, x, y, cx, cy, scaledDC, 0, 0, SRCCOPY);
    // Transparent pixels of the filtered colour become black (mask bit 1 ->
    // background black), so that OR-ing it in leaves the destination there.
    SetStretchBltMode(scaledDC, COLORONCOLOR);
    SetTextColor(scaledDC, RGB(255, 255, 255));
    SetBkColor(scaledDC, RGB(0, 0, 0));
    {
        CKivSelectObject select(pieceDC, piece.mask.Get());
        drawn = StretchBlt(scaledDC, 0, 0, cx, cy, pieceDC, 0, 0, piece.width, piece.height, SRCAND);
    }
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    if (drawn)
    {
        CKivSelectObject select(pieceDC, piece.mask.Get());
        drawn = StretchBlt(dc, x, y, cx, cy, pieceDC, 0, 0, piece.width, piece.height, SRCAND);
    }
    if (drawn)
        drawn = BitBlt(dc, x, y, cx, cy, scaledDC, 0, 0, SRCPAINT);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    if (oldMode)
        SetStretchBltMode(dc, oldMode);
    return drawn;
}

// Clips a skin rectangle to the atlas and maps the destination accordingly,
// so a hostile rectangle reads nothing outside the atlas and what lies outside
// it stays transparent. False when nothing remains to draw.
bool ClipToAtlas(HBITMAP atlas, const RECT& source, int* x, int* y, int* cx, int* cy, RECT* clipped)
{
    LONG atlasWidth = 0, atlasHeight = 0;
    if (!AtlasSize(atlas, &atlasWidth, &atlasHeight))
        return false;
    const long long width = static_cast<long long>(source.right) - source.left;
    const long long height = static_cast<long long>(source.bottom) - source.top;
    if (width <= 0 || height <= 0 || *cx <= 0 || *cy <= 0)
        return false;
    RECT bounds = {0, 0, atlasWidth, atlasHeight};
    if (!IntersectRect(clipped, &source, &bounds))
        return false;
    if (EqualRect(clipped, &source))
        return true;
    const long long x0 = *x + (static_cast<long long>(clipped->left) - source.left) * *cx / width;
    const long long x1 = *x + (static_cast<long long>(clipped->right) - source.left) * *cx / width;
    const long long y0 = *y + (static_cast<long long>(clipped->top) - source.top) * *cy / height;
    const long long y1 = *y + (static_cast<long long>(clipped->bottom) - source.top) * *cy / height;
    if (x1 <= x0 || y1 <= y0)
        return false;
    *x = static_cast<int>(x0);
    *y = static_cast<int>(y0);
    *cx = static_cast<int>(x1 - x0);
    *cy = static_cast<int>(y1 - y0);
    return true;
}

// The prepared piece of a skin rectangle, the destination fitted to the part
// of it inside the atlas; null when there is nothing to draw.
const SkinPiece* PieceFor(const RECT* source, int* x, int* y, int* cx, int* cy)
{
    const HBITMAP atlas = CKivSkinStore::Atlas();
    RECT clipped;
    if (source == nullptr || atlas == nullptr || !ClipToAtlas(atlas, *source, x, y, cx, cy, &clipped))
        return nullptr;
    return FindPiece(atlas, clipped);
}

struct FontCache
{
    HFONT fonts[2] = {nullptr, nullptr};
    bool created[2] = {false, false};
    // The same two fonts at other DPIs, by (DPI, slot); a process meets only
    // a few DPIs, so these live as long as the two above.
    std::map<std::pair<int, int>, CKivFont> scaled;
};

// The skin's control font (slot 0) or its vertical font (slot 1) at a height.
HFONT MakeSkinFont(int slot, int height)
{
    return CreateFontW(height, 0, slot == 0 ? 0 : -900, 0, FW_NORMAL, FALSE, FALSE, FALSE, 0, 0, 0, CLEARTYPE_QUALITY,
                       0x20, L"Arial");
}

FontCache& Fonts()
{
    static FontCache cache;
    return cache;
}

}  // namespace

BOOL CKivGraphics::StretchBltFromSkin(HDC dc, int x, int y, int cx, int cy, const RECT* source, DWORD)
{
    const SkinPiece* piece = dc ? PieceFor(source, &x, &y, &cx, &cy) : nullptr;
    return piece ? DrawPiece(dc, *piece, x, y, cx, cy) : FALSE;
}

BOOL CKivGraphics::StretchBltFromSkinScaled(HDC dc, int x, int y, int cx, int cy, const RECT* source,
                                            const CKivDpiScale& scale)
{
    if (scale.IsUnit())
        return StretchBltFromSkin(dc, x, y, cx, cy, source);
    const SkinPiece* piece = dc ? PieceFor(source, &x, &y, &cx, &cy) : nullptr;
    return piece ? DrawPieceSmooth(dc, *piece, x, y, cx, cy) : FALSE;
}

BOOL CKivGraphics::StretchBltFromSkinCorners(HDC dc, const RECT& destination, const RECT* source, int corner,
                                             const CKivDpiScale& scale)
{
    if (source == nullptr)
        return FALSE;
    const int width = destination.right - destination.left, height = destination.bottom - destination.top;
    const int drawn = scale.Scale(corner);
    if (scale.IsUnit() || corner <= 0 || source->right - source->left <= 2 * corner ||
        source->bottom - source->top <= 2 * corner || width <= 2 * drawn || height <= 2 * drawn)
        return StretchBltFromSkinScaled(dc, destination.left, destination.top, width, height, source, scale);
    const LONG fromX[4] = {source->left, source->left + corner, source->right - corner, source->right};
    const LONG fromY[4] = {source->top, source->top + corner, source->bottom - corner, source->bottom};
    const int toX[4] = {destination.left, destination.left + drawn, destination.right - drawn, destination.right};
    const int toY[4] = {destination.top, destination.top + drawn, destination.bottom - drawn, destination.bottom};
    BOOL drawnAll = TRUE;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
        {
            const RECT piece = {fromX[column], fromY[row], fromX[column + 1], fromY[row + 1]};
            if (!StretchBltFromSkinScaled(dc, toX[column], toY[row], toX[column + 1] - toX[column],
                                          toY[row + 1] - toY[row], &piece, scale))
                drawnAll = FALSE;
        }
    return drawnAll;
}

BOOL CKivGraphics::StretchBltFromSkinRect(HDC dc, const RECT* destination, const RECT* source)
{
    if (destination == nullptr)
        return FALSE;
    return StretchBltFromSkin(dc, destination->left, destination->top, destination->right - destination->left,
                              destination->bottom - destination->top, source);
}

BOOL CKivGraphics::StretchBltFromSkinKeyed(HDC dc, int x, int y, int cx, int cy, const RECT* source)
{
    const HBITMAP atlas = CKivSkinStore::Atlas();
    if (dc == nullptr || source == nullptr || atlas == nullptr)
        return FALSE;
    RECT clipped;
    if (!ClipToAtlas(atlas, *source, &x, &y, &cx, &cy, &clipped))
        return FALSE;
    const int width = clipped.right - clipped.left;
    const int height = clipped.bottom - clipped.top;
    CKivCompatibleDC atlasDC(dc);
    if (!atlasDC)
        return FALSE;
    CKivHDCMemoryTemp piece(dc, width, height);
    if (!piece.IsValid())
        return FALSE;
    BOOL copied;
    {
        CKivSelectObject select(atlasDC, atlas);
        copied = StretchBlt(piece.GetDC(), 0, 0, width, height, atlasDC, clipped.left, clipped.top, width, height, SRCCOPY);
    }
    if (!copied)
        return FALSE;
    return TransparentBltBitmap(dc, piece.GetBitmap(), x, y, cx, cy, width, height);
}

BOOL CKivGraphics::TransparentBltBitmap(HDC dc, HBITMAP bitmap, int x, int y, int cx, int cy, int sourceWidth,
                                        int sourceHeight)
{
    if (dc == nullptr || bitmap == nullptr || cx <= 0 || cy <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return FALSE;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    {
        CKivCompatibleDC probe(dc);
        if (!probe || !GetDIBits(probe, bitmap, 0, 0, nullptr, &info, DIB_RGB_COLORS))
            return FALSE;
    }
    const LONG width = info.bmiHeader.biWidth;
    const LONG height = info.bmiHeader.biHeight < 0 ? -info.bmiHeader.biHeight : info.bmiHeader.biHeight;
    if (!FitsPixelBudget(width, height))
        return FALSE;
    std::unique_ptr<BYTE[]> pixels(new (std::nothrow) BYTE[static_cast<size_t>(width) * static_cast<size_t>(height) * 4]);
    if (!pixels)
        return FALSE;
    // Read as 32-bit top-down rows whatever the bitmap's own depth, which is
    // the layout the copy below is created with.
    BITMAPINFO wanted = CKivGraphics::TopDown32(width, height);
    {
        CKivCompatibleDC reader(dc);
        if (!reader || GetDIBits(reader, bitmap, 0, static_cast<UINT>(height), pixels.get(), &wanted, DIB_RGB_COLORS) == 0)
            return FALSE;
    }
    CKivBitmap copy(CreateBitmap(width, height, 1, 32, pixels.get()));
    if (!copy)
        return FALSE;
    CKivCompatibleDC source(dc);
    if (!source)
        return FALSE;
    CKivSelectObject select(source, copy.Get());
    return TransparentBlt(dc, x, y, cx, cy, source, 0, 0, sourceWidth, sourceHeight, RGB(0, 0, 0));
}

BOOL CKivGraphics::FillBackgroundPart(HDC dc, int offsetX, int offsetY, int cx, int cy)
{
    const KivSkinSettings& settings = CKivSkinStore::Settings();
    RECT area = {0, 0, cx, cy};
    if (settings.edgeEnableBackground)
    {
        // The frame shows white beyond its background picture; a control
        // there shows the same instead of whatever the atlas holds nearby.
        CKivBrush white(CreateSolidBrush(RGB(255, 255, 255)));
        if (white)
            FillRect(dc, &area, white);
        const RECT& image = settings.edgeBackground;
        const long long left = static_cast<long long>(image.left) + offsetX;
        const long long top = static_cast<long long>(image.top) + offsetY;
        RECT part = {static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(left + cx), static_cast<LONG>(top + cy)};
        RECT visible;
        if (left >= INT_MIN && left + cx <= INT_MAX && top >= INT_MIN && top + cy <= INT_MAX &&
            IntersectRect(&visible, &part, &image))
        {
            StretchBltFromSkin(dc, static_cast<int>(visible.left - part.left), static_cast<int>(visible.top - part.top),
                               visible.right - visible.left, visible.bottom - visible.top, &visible);
        }
        return TRUE;
    }
    CKivBrush brush(CreateSolidBrush(settings.edgeEnableBackColor ? static_cast<COLORREF>(settings.edgeBackgroundColor)
                                                                  : GetSysColor(COLOR_BTNFACE)));
    if (brush)
        FillRect(dc, &area, brush);
    return TRUE;
}

BOOL CKivGraphics::FillParentBackground(HDC dc, int cx, int cy, HWND control)
{
    if (CKivSkinStore::Settings().edgeEnableBackground && control)
    {
        RECT rect = {};
        GetWindowRect(control, &rect);
        POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
        const HWND parent = GetParent(control);
        ScreenToClient(parent, &corners[0]);
        ScreenToClient(parent, &corners[1]);
        return FillBackgroundPart(dc, corners[0].x, corners[0].y, cx, cy);
    }
    return FillBackgroundPart(dc, 0, 0, cx, cy);
}

COLORREF CKivGraphics::DarkenColor(COLORREF colour)
{
    auto darken = [](BYTE value) { return static_cast<BYTE>(value > 50 ? value - 50 : 0); };
    return RGB(darken(GetRValue(colour)), darken(GetGValue(colour)), darken(GetBValue(colour)));
}

BOOL CKivGraphics::FillArrow(HDC dc, const POINT* origin, int direction, COLORREF colour, int depth, int base)
{
    if (origin == nullptr || direction < 0 || direction > 3)
        return FALSE;
    const RECT box = direction <= 1 ? RECT{0, 0, base, depth} : RECT{0, 0, depth, base};
    const LONG midX = box.left + (box.right - box.left) / 2;
    const LONG midY = box.top + (box.bottom - box.top) / 2;
    POINT points[3];
    switch (direction)
    {
    case 0: points[0] = {box.left, box.bottom}; points[1] = {midX, box.top}; points[2] = {box.right, box.bottom}; break;
    case 1: points[0] = {box.left, box.top}; points[1] = {midX, box.bottom}; points[2] = {box.right, box.top}; break;
    case 2: points[0] = {box.right, box.top}; points[1] = {box.left, midY}; points[2] = {box.right, box.bottom}; break;
    default: points[0] = {box.left, box.top}; points[1] = {box.right, midY}; points[2] = {box.left, box.bottom}; break;
    }
    POINT oldOrigin = {};
    SetViewportOrgEx(dc, origin->x, origin->y, &oldOrigin);
    {
        CKivRegion region(CreatePolygonRgn(points, 3, WINDING));
        CKivBrush brush(CreateSolidBrush(DarkenColor(colour)));
        if (region && brush)
            FillRgn(dc, region, brush);
    }
    SetViewportOrgEx(dc, 0, 0, nullptr);
    return TRUE;
}

HFONT CKivGraphics::GetSkinFont(int index)
{
    const int slot = index == 0 ? 0 : 1;
    FontCache& cache = Fonts();
    if (!cache.created[slot])
    {
        cache.created[slot] = true;
        cache.fonts[slot] = MakeSkinFont(slot, 15);
    }
    return cache.fonts[slot];
}

HFONT CKivGraphics::GetSkinFontForDpi(int index, int dpi)
{
    const CKivDpiScale scale(dpi);
    if (scale.IsUnit())
        return GetSkinFont(index);
    const int slot = index == 0 ? 0 : 1;
    FontCache& cache = Fonts();
    const std::pair<int, int> key(scale.Dpi(), slot);
    auto found = cache.scaled.find(key);
    if (found != cache.scaled.end())
        return found->second.Get();
    CKivFont font(MakeSkinFont(slot, scale.Scale(15)));
    if (!font)
        return GetSkinFont(index);
    const HFONT handle = font.Get();
    try
    {
        cache.scaled.emplace(key, std::move(font));
    }
    catch (...)
    {
        return GetSkinFont(index);
    }
    return handle;
}

bool CKivGraphics::IsSkinFontCreated(int index)
{
    return Fonts().created[index == 0 ? 0 : 1];
}

BOOL CKivGraphics::PtInRectInclusive(int x, int y, int left, int top, int right, int bottom)
{
    return left <= x && x <= right && top <= y && y <= bottom;
}

BOOL CKivGraphics::IsSkinRectEmpty(const RECT* rect)
{
    return rect == nullptr || (rect->left == 0 && rect->top == 0 && rect->right == 0 && rect->bottom == 0);
}

SIZE* CKivGraphics::GetTextExtent(HDC dc, const wchar_t* text, SIZE* out)
{
    if (text == nullptr || out == nullptr)
        return nullptr;
    if (!GetTextExtentPoint32W(dc, text, lstrlenW(text), out))
        return nullptr;
    return out;
}

size_t CKivGraphics::CachedPieceCount()
{
    return Cache().pieces.size();
}

void CKivGraphics::DropPieceCache()
{
    Cache().pieces.clear();
}

HBITMAP CKivGraphics::CopyTopDown32(HBITMAP source, const RECT& area, DWORD** pixels)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (source == nullptr || pixels == nullptr || width <= 0 || height <= 0)
        return nullptr;
    BITMAPINFO info = TopDown32(width, height);
    void* bits = nullptr;
    CKivBitmap copy(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!copy || bits == nullptr)
        return nullptr;
    {
        CKivCompatibleDC sourceDC(nullptr);
        CKivCompatibleDC copyDC(nullptr);
        if (!sourceDC || !copyDC)
            return nullptr;
        CKivSelectObject selectSource(sourceDC, source);
        CKivSelectObject selectCopy(copyDC, copy.Get());
        if (!BitBlt(copyDC, 0, 0, width, height, sourceDC, area.left, area.top, SRCCOPY))
            return nullptr;
    }
    GdiFlush();
    *pixels = static_cast<DWORD*>(bits);
    return copy.Release();
}

BITMAPINFO CKivGraphics::TopDown32(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

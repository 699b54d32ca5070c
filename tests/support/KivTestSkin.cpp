#include "CKivGraphics.h"
#include "KivTestSkin.h"
#include <vector>
#include "KivTestSupport.h"
#include "CKivBmpFile.h"
#include "CKivClientDC.h"
#include "CKivSkinStore.h"
#include <cstring>

namespace kivtest {
namespace skin {

namespace {
DWORD ToPixel(COLORREF colour)
{
    return (static_cast<DWORD>(GetRValue(colour)) << 16) | (static_cast<DWORD>(GetGValue(colour)) << 8) | GetBValue(colour);
}
}  // namespace

RECT SlotRect(int slot)
{
    const int perRow = kAtlasWidth / kSlot / 2;  // left half only; the background lives on the right
    const int x = (slot % perRow) * kSlot;
    const int y = (slot / perRow) * kSlot;
    return RECT{x, y, x + kSlot, y + kSlot};
}

COLORREF SlotColour(int slot, int variant)
{
    return RGB(40 + slot * 3 + variant, 90 + (slot % 3) * 40, 220 - slot * 2);
}

COLORREF GridColour(int i, int j)
{
    return RGB(10 + i * 20, 10 + j * 20, 77);
}

COLORREF CornersColour()
{
    return RGB(20, 200, 120);
}

COLORREF BackgroundColour(int x, int y)
{
    return RGB(100 + x, 50 + y * 2, 180);
}

std::vector<unsigned char> AtlasImage(int variant)
{
    std::vector<DWORD> pixels(static_cast<size_t>(kAtlasWidth) * kAtlasHeight, ToPixel(RGB(255, 0, 255)));
    auto put = [&](int x, int y, COLORREF colour) { pixels[static_cast<size_t>(y) * kAtlasWidth + x] = ToPixel(colour); };
    for (int slot = 0; slot < SlotCount; ++slot)
    {
        const RECT r = SlotRect(slot);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                put(x, y, SlotColour(slot, variant));
    }
    for (int j = 0; j < 10; ++j)
        for (int i = 0; i < 10; ++i)
            put(kGrid10.left + i, kGrid10.top + j, GridColour(i, j));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
        {
            const bool corner = (x < 4 || x >= 12) && (y < 4 || y >= 12);
            put(kBlackCorners.left + x, kBlackCorners.top + y, corner ? RGB(0, 0, 0) : CornersColour());
        }
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            put(kBackground.left + x, kBackground.top + y, BackgroundColour(x, y));

    return kivtest::Bmp32FromRows(kAtlasWidth, kAtlasHeight, pixels);
}

void Install(int variant)
{
    KivSkinSettings& s = CKivSkinStore::Settings();
    memset(&s, 0, sizeof(s));
    s.captionBarActiveBmp = SlotRect(CaptionActive);
    s.captionBarDefaultBmp = SlotRect(CaptionDefault);
    s.borderLeftActiveBmp = SlotRect(BorderLeftActive);
    s.borderLeftDefaultBmp = SlotRect(BorderLeftDefault);
    s.borderTopActiveBmp = SlotRect(BorderTopActive);
    s.borderTopDefaultBmp = SlotRect(BorderTopDefault);
    s.borderRightActiveBmp = SlotRect(BorderRightActive);
    s.borderRightDefaultBmp = SlotRect(BorderRightDefault);
    s.borderBottomActiveBmp = SlotRect(BorderBottomActive);
    s.borderBottomDefaultBmp = SlotRect(BorderBottomDefault);
    s.closeButtonDefaultBmp = SlotRect(CloseDefault);
    s.closeButtonHotBmp = SlotRect(CloseHot);
    s.closeButtonSelectedBmp = SlotRect(CloseSelected);
    s.closeButtonDisableBmp = SlotRect(CloseDisable);
    s.maxButtonDefaultBmp = SlotRect(MaxDefault);
    s.maxButtonHotBmp = SlotRect(MaxHot);
    s.maxButtonSelectedBmp = SlotRect(MaxSelected);
    s.maxButtonDisableBmp = SlotRect(MaxDisable);
    s.restoreButtonDefaultBmp = SlotRect(RestoreDefault);
    s.restoreButtonHotBmp = SlotRect(RestoreHot);
    s.restoreButtonSelectedBmp = SlotRect(RestoreSelected);
    s.restoreButtonDisableBmp = SlotRect(RestoreDisable);
    s.minButtonDefaultBmp = SlotRect(MinDefault);
    s.minButtonHotBmp = SlotRect(MinHot);
    s.minButtonSelectedBmp = SlotRect(MinSelected);
    s.minButtonDisableBmp = SlotRect(MinDisable);
    s.menuBarBackground = SlotRect(MenuBarBackground);
    s.menuBarSelectedItem = SlotRect(MenuBarSelected);
    s.edgeBackground = kBackground;
    s.captionBarHeight = 30;
    s.captionBarButtonWidth = 20;
    s.captionBarButtonHeight = 18;
    s.captionBarButtonSpace = 2;
    s.borderLeftWidth = 4;
    s.borderTopWidth = 4;
    s.borderRightWidth = 4;
    s.borderBottomWidth = 4;
    s.edgeHideShadow = 1;
    CKivSkinStore::DeleteAtlas();
    const std::vector<unsigned char> image = AtlasImage(variant);
    CKivSkinStore::CreateAtlas(image.data(), image.size());
}

}  // namespace skin

Canvas::Canvas(int width, int height, COLORREF fill) : m_width(width), m_height(height)
{
    BITMAPINFO info = CKivGraphics::TopDown32(width, height);
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<DWORD*>(bits);
    m_dc = CreateCompatibleDC(nullptr);
    m_previous = SelectObject(m_dc, m_bitmap);
    Fill(fill);
}

Canvas::~Canvas()
{
    SelectObject(m_dc, m_previous);
    DeleteDC(m_dc);
    DeleteObject(m_bitmap);
}

void Canvas::Fill(COLORREF colour)
{
    GdiFlush();
    const DWORD pixel = skin::ToPixel(colour);
    for (int i = 0; i < m_width * m_height; ++i)
        m_bits[i] = pixel;
}

COLORREF Canvas::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return CLR_INVALID;
    GdiFlush();
    const DWORD pixel = m_bits[static_cast<size_t>(y) * m_width + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

bool Canvas::SameAs(const Canvas& other) const
{
    if (other.m_width != m_width || other.m_height != m_height)
        return false;
    GdiFlush();
    for (int i = 0; i < m_width * m_height; ++i)
        if ((m_bits[i] & 0xFFFFFF) != (other.m_bits[i] & 0xFFFFFF))
            return false;
    return true;
}

bool Canvas::Save(const wchar_t* path) const
{
    GdiFlush();
    // GDI leaves the fourth byte of most pixels at 0 and sets it only where
    // it draws with alpha (icons): a viewer would take those bytes for
    // transparency and show a picture with a few opaque spots. A screenshot
    // is opaque.
    std::vector<DWORD> opaque(m_bits, m_bits + static_cast<size_t>(m_width) * m_height);
    for (DWORD& pixel : opaque)
        pixel |= 0xFF000000u;
    return CKivBmpFile::Write(path, CKivBmpFile::InfoHeader(m_width, -m_height, 32), opaque.data(),
                              opaque.size() * sizeof(DWORD));
}

void PrintWindowTo(HWND window, Canvas& canvas)
{
    SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(canvas.DC()),
                 PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
}

void CaptureScreenAt(POINT topLeft, Canvas& canvas)
{
    const CKivClientDC screen(nullptr);
    BitBlt(canvas.DC(), 0, 0, canvas.Width(), canvas.Height(), screen, topLeft.x, topLeft.y, SRCCOPY);
}

void CaptureScreenTo(HWND window, Canvas& canvas)
{
    RECT r = {};
    GetWindowRect(window, &r);
    CaptureScreenAt(POINT{r.left, r.top}, canvas);
}

}  // namespace kivtest

#include "CKivWindowPaint.h"
#include "CKivGdiObject.h"
#include "CKivHDCMemory.h"
#include "CKivSelectObject.h"
#include "CKivSkinStore.h"
#include "CKivTextContrast.h"
#include "CKivCompatibleDC.h"

namespace {

bool IsMaximized(HWND window)
{
    return (GetWindowLongPtrW(window, GWL_STYLE) & WS_MAXIMIZE) != 0;
}

}  // namespace

CKivWindowPaint::CKivWindowPaint(HWND window) : CKivPaint(window, nullptr, WindowContext) {}

const RECT* CKivWindowPaint::CaptionButtonPicture(const KivSkinSettings& s, int index, int state)
{
    static const RECT none = {};
    const RECT* pictures[4][4] = {
        {&s.closeButtonDefaultBmp, &s.closeButtonHotBmp, &s.closeButtonSelectedBmp, &s.closeButtonDisableBmp},
        {&s.maxButtonDefaultBmp, &s.maxButtonHotBmp, &s.maxButtonSelectedBmp, &s.maxButtonDisableBmp},
        {&s.restoreButtonDefaultBmp, &s.restoreButtonHotBmp, &s.restoreButtonSelectedBmp, &s.restoreButtonDisableBmp},
        {&s.minButtonDefaultBmp, &s.minButtonHotBmp, &s.minButtonSelectedBmp, &s.minButtonDisableBmp},
    };
    if (index < 0 || index > 3 || state < 0 || state > 3)
        return &none;
    return pictures[index][state];
}

KivFrameMetrics* CKivWindowPaint::CalcMetrics()
{
    return CalcFrameMetrics(Window(), &m_metrics, &CKivSkinStore::Settings());
}

void CKivWindowPaint::DrawCaptionTo(HDC target, int active)
{
    const KivSkinSettings& s = CKivSkinStore::Settings();
    const RECT& caption = m_metrics.captionRect;
    const int width = caption.right - caption.left - ButtonStripWidth(m_metrics);
    const int height = m_metrics.captionHeight;
    if (width > 0 && height > 0)
    {
        // The icon and title are drawn in caption coordinates and clipped at
        // the caption's edge, as if into a bitmap of their own.
        const int saved = SaveDC(target);
        POINT origin = {};
        GetViewportOrgEx(target, &origin);
        SetViewportOrgEx(target, origin.x + caption.left, origin.y + caption.top, nullptr);
        IntersectClipRect(target, 0, 0, width, height);
        StretchBltFromSkin(target, 0, 0, width, height, active ? &s.captionBarActiveBmp : &s.captionBarDefaultBmp);
        DrawCaptionIcon(target);
        DrawCaptionTitle(active, target);
        RestoreDC(target, saved);
    }
    if (IsMaximized(Window()))
        return;
    const RECT* sides[4] = {&m_metrics.leftBorderRect, &m_metrics.topBorderRect, &m_metrics.rightBorderRect,
                            &m_metrics.bottomBorderRect};
    const RECT* pictures[4] = {
        active ? &s.borderLeftActiveBmp : &s.borderLeftDefaultBmp,
        active ? &s.borderTopActiveBmp : &s.borderTopDefaultBmp,
        active ? &s.borderRightActiveBmp : &s.borderRightDefaultBmp,
        active ? &s.borderBottomActiveBmp : &s.borderBottomDefaultBmp,
    };
    for (int side = 0; side < 4; ++side)
    {
        if (IsRectEmpty(sides[side]))
            continue;
        if (IsSkinRectEmpty(pictures[side]))
        {
            CKivBrush brush(CreateSolidBrush(active ? RGB(255, 255, 255) : RGB(0xB4, 0xB4, 0xB4)));
            if (brush)
                FillRect(target, sides[side], brush);
        }
        else
        {
            StretchBltFromSkinRect(target, sides[side], pictures[side]);
        }
    }
}

// Used when the strategy is driven on its own; the frame composes through
// DrawCaptionTo into its single frame bitmap instead.
void CKivWindowPaint::DrawCaption(int active, const wchar_t*)
{
    HDC dc = Context();
    if (dc == nullptr)
        return;
    const RECT& caption = m_metrics.captionRect;
    const int width = caption.right - caption.left - ButtonStripWidth(m_metrics);
    // Composed off-screen first so the caption never flickers.
    const int fullWidth = caption.right + m_metrics.borderRight;
    const int fullHeight = m_metrics.bottomBorderRect.bottom;
    CKivHDCMemoryTemp surface(dc, fullWidth, fullHeight);
    if (!surface.IsValid() || width <= 0)
        return;
    DrawCaptionTo(surface.GetDC(), active);
    const int saved = SaveDC(dc);
    RECT client = {};
    GetClientRect(Window(), &client);
    MapWindowPoints(Window(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    RECT window = {};
    GetWindowRect(Window(), &window);
    ExcludeClipRect(dc, client.left - window.left, client.top - window.top, client.right - window.left,
                    client.bottom - window.top);
    ExcludeClipRect(dc, caption.left + width, caption.top, caption.right, caption.bottom);
    BitBlt(dc, 0, 0, fullWidth, fullHeight, surface.GetDC(), 0, 0, SRCCOPY);
    RestoreDC(dc, saved);
}

void CKivWindowPaint::DrawCaptionIcon(HDC dc)
{
    POINT origin = {};
    HDC target = dc;
    if (target == nullptr)
    {
        target = Context();
        origin = POINT{m_metrics.captionRect.left, m_metrics.captionRect.top};
    }
    if (target == nullptr)
        return;
    const KivSkinSettings& s = CKivSkinStore::Settings();
    const CKivDpiScale scale(m_metrics.dpi);
    const int size = scale.Scale(16);
    int x = scale.Scale(5), y = m_metrics.captionHeight / 2 - size / 2;
    if (s.captionBarIconWidth > 0)
    {
        x = scale.Scale(s.captionBarIconX);
        y = scale.Scale(s.captionBarIconY);
    }
    // A caption lower than the icon's place (a minimised window's) centres it.
    if (y + size > m_metrics.captionHeight)
        y = (m_metrics.captionHeight - size) / 2;
    // Always 16 x 16 at 96 DPI: the configured icon size only shapes the hit area. As
    // the system does, a window that has only a big icon shows that one
    // shrunk, and the class's icons come after the window's.
    HICON icon = reinterpret_cast<HICON>(SendMessageW(Window(), WM_GETICON, ICON_SMALL, 0));
    if (icon == nullptr)
        icon = reinterpret_cast<HICON>(SendMessageW(Window(), WM_GETICON, ICON_BIG, 0));
    if (icon == nullptr)
        icon = reinterpret_cast<HICON>(GetClassLongPtrW(Window(), GCLP_HICONSM));
    if (icon == nullptr)
        icon = reinterpret_cast<HICON>(GetClassLongPtrW(Window(), GCLP_HICON));
    if (icon)
        DrawIconEx(target, origin.x + x, origin.y + y, icon, size, size, 0, nullptr, DI_NORMAL);
}

void CKivWindowPaint::DrawCaptionTitle(int active, HDC dc)
{
    POINT origin = {};
    HDC target = dc;
    if (target == nullptr)
    {
        target = Context();
        origin = POINT{m_metrics.captionRect.left, m_metrics.captionRect.top};
    }
    if (target == nullptr)
        return;
    // Measured with the font it is drawn in, so the text sits centred.
    wchar_t title[260] = {};
    GetWindowTextW(Window(), title, 260);
    CKivSelectObject font(target, GetSkinFontForDpi(0, m_metrics.dpi));
    SIZE extent = {};
    GetTextExtent(target, title, &extent);
    const int captionWidth = m_metrics.captionRect.right - m_metrics.captionRect.left;
    const int captionHeight = m_metrics.captionRect.bottom - m_metrics.captionRect.top;
    RECT area = {origin.x + CKivDpiScale(m_metrics.dpi).Scale(26), origin.y + captionHeight / 2 - extent.cy / 2, origin.x + captionWidth, origin.y + captionHeight};
    const int oldMode = SetBkMode(target, TRANSPARENT);
    const CKivTextContrast::Colours& colours = CKivTextContrast::Current();
    const COLORREF oldColour = SetTextColor(target, active ? colours.titleActive : colours.titleInactive);
    DrawTextW(target, title, -1, &area, 0);
    SetTextColor(target, oldColour);
    SetBkMode(target, oldMode);
}

void CKivWindowPaint::DrawCaptionButtonTo(HDC target, int index, int state)
{
    const KivButtonBox& box = index == 0 ? m_metrics.closeButton : index == 3 ? m_metrics.minButton : m_metrics.maxButton;
    StretchBltFromSkinScaled(target, box.x, box.y, box.width, box.height,
                             CaptionButtonPicture(CKivSkinStore::Settings(), index, state), CKivDpiScale(m_metrics.dpi));
}

void CKivWindowPaint::DrawCaptionButton(int index, int state)
{
    HDC dc = Context();
    if (dc)
        DrawCaptionButtonTo(dc, index, state);
}

BOOL CKivWindowPaint::EraseBackground(HDC dc)
{
    const KivSkinSettings& s = CKivSkinStore::Settings();
    RECT client = {};
    GetClientRect(Window(), &client);
    if (s.edgeEnableBackground)
    {
        CKivHDCMemoryTemp surface(dc, client.right, client.bottom);
        if (!surface.IsValid())
            return FALSE;
        PatBlt(surface.GetDC(), 0, 0, client.right, client.bottom, WHITENESS);
        // A plain copy at natural size: no stretching and no transparent black.
        RECT piece = {};
        LONG atlasWidth = 0, atlasHeight = 0;
        BITMAP info = {};
        const HBITMAP atlas = CKivSkinStore::Atlas();
        if (atlas && GetObjectW(atlas, sizeof(info), &info))
        {
            atlasWidth = info.bmWidth;
            atlasHeight = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
        }
        const RECT bounds = {0, 0, atlasWidth, atlasHeight};
        BOOL copied = FALSE;
        if (IntersectRect(&piece, &s.edgeBackground, &bounds))
        {
            CKivCompatibleDC atlasDC(dc);
            CKivSelectObject select(atlasDC, atlas);
            copied = BitBlt(surface.GetDC(), piece.left - s.edgeBackground.left, piece.top - s.edgeBackground.top,
                            piece.right - piece.left, piece.bottom - piece.top, atlasDC, piece.left, piece.top, SRCCOPY);
        }
        const BOOL shown = BitBlt(dc, 0, 0, client.right, client.bottom, surface.GetDC(), 0, 0, SRCCOPY);
        return copied && shown;
    }
    if (s.edgeEnableBackColor)
    {
        CKivBrush brush(CreateSolidBrush(static_cast<COLORREF>(s.edgeBackgroundColor)));
        if (brush)
            FillRect(dc, &client, brush);
        return TRUE;
    }
    return FALSE;
}

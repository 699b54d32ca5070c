#include "CKivHeaderCtrl.h"
#include <algorithm>
#include "CKivCommonLook.h"
#include "CKivCompatibleDC.h"
#include "CKivCustomDrawWatch.h"
#include "CKivDpiScale.h"
#include "CKivGdiObject.h"
#include "CKivSelectObject.h"

namespace {


// A header is lower than a push button: its faces are the button pictures'
// own colours, flat, rather than the pictures squeezed.
CKivCommonLook::Surface SurfaceFor(int state)
{
    const CKivCommonLook& look = CKivCommonLook::Current();
    return CKivCommonLook::Flattened(state == 2 ? look.facePressed : state == 1 ? look.faceHot : look.face);
}

// The sort arrow: a triangle of height h whose bounding box starts at (x, y).
void DrawSortArrow(HDC dc, int x, int y, int h, bool up, COLORREF colour)
{
    if (h <= 0)
        return;
    CKivBrush brush(CreateSolidBrush(colour));
    if (!brush)
        return;
    const int centre = x + h - 1;
    for (int i = 0; i < h; ++i)
    {
        const int row = up ? y + i : y + h - 1 - i;
        const RECT line = {centre - i, row, centre + i + 1, row + 1};
        FillRect(dc, &line, brush);
    }
}

}  // namespace

CKivHeaderCtrl::~CKivHeaderCtrl() = default;

void CKivHeaderCtrl::PaintBackground(HDC dc, const RECT& client)
{
    CKivCommonLook::Fill(dc, client, CKivCommonLook::Current().bar);
}

int CKivHeaderCtrl::ItemsRight()
{
    const int count = static_cast<int>(CallPrevious(HDM_GETITEMCOUNT, 0, 0));
    int right = 0;
    for (int i = 0; i < count; ++i)
    {
        RECT item = {};
        if (CallPrevious(HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item)))
            right = std::max(right, static_cast<int>(item.right));
    }
    return right;
}

void CKivHeaderCtrl::PaintOver(HDC dc, const RECT& client)
{
    // Beside the items (or everywhere, without items) the control fills in
    // the system's face colour: the bar goes there instead.
    RECT rest = client;
    rest.left = std::min(static_cast<int>(client.right), ItemsRight());
    CKivCommonLook::Fill(dc, rest, client, CKivCommonLook::Current().bar);
}

CKivHeaderCtrl::State CKivHeaderCtrl::ItemState(const NMCUSTOMDRAW& draw)
{
    if (draw.uItemState & CDIS_SELECTED)
        return State::Pressed;
    return ItemStateAt(static_cast<int>(draw.dwItemSpec), false);
}

CKivHeaderCtrl::State CKivHeaderCtrl::ItemStateAt(int index, bool mayBePressed)
{
    // The control keeps its hot and pressed items to itself; the cursor says
    // which they are. A pressed button item holds the mouse.
    const LONG_PTR style = GetWindowLongPtrW(Window(), GWL_STYLE);
    const bool pressing = mayBePressed && (style & HDS_BUTTONS) && GetCapture() == Window() &&
                          (GetKeyState(VK_LBUTTON) & 0x8000) != 0;
    if (!pressing && (!(style & HDS_HOTTRACK) || GetCapture() != nullptr))
        return State::Normal;
    POINT cursor = {};
    GetCursorPos(&cursor);
    if (!pressing && WindowFromPoint(cursor) != Window())
        return State::Normal;
    HDHITTESTINFO hit = {};
    hit.pt = cursor;
    ScreenToClient(Window(), &hit.pt);
    const LRESULT item = CallPrevious(HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (!(hit.flags & HHT_ONHEADER) || item != index)
        return State::Normal;
    return pressing ? State::Pressed : State::Hot;
}

CKivCommonCtrl::Unfiltered CKivHeaderCtrl::PaintUnfiltered(HDC dc, const RECT&, const CKivCustomDrawWatch& heard)
{
    // Where the host left the items to the control, the skin's items go over
    // the control's, except those the host draws itself. A host that draws
    // with the control, or hands texts out on request (they would be asked
    // for a second time), keeps the control's look, which covers the header.
    if (!heard.HostLeftAll() || heard.Heard(static_cast<UINT>(HDN_GETDISPINFOW)) ||
        heard.Heard(static_cast<UINT>(HDN_GETDISPINFOA)))
        return Unfiltered::Control;
    const int count = static_cast<int>(CallPrevious(HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
    {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        RECT bounds = {};
        if (!CallPrevious(HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item)) || (item.fmt & HDF_OWNERDRAW) ||
            !CallPrevious(HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&bounds)) || bounds.right <= bounds.left)
            continue;
        DrawItem(dc, i, bounds, ItemStateAt(i, true));
    }
    return Unfiltered::Skin;
}

void CKivHeaderCtrl::BeforeItem(NMCUSTOMDRAW& draw)
{
    // A host that asked for items sees the skin's colours in the DC, as it
    // would see the system's, and may change them.
    const State state = ItemState(draw);
    const CKivCommonLook::Surface surface = SurfaceFor(state == State::Pressed ? 2 : state == State::Hot ? 1 : 0);
    m_offeredText = surface.text;
    m_offeredBack = surface.colour;
    SetTextColor(draw.hdc, m_offeredText);
    SetBkColor(draw.hdc, m_offeredBack);
}

LRESULT CKivHeaderCtrl::ItemAnswer(NMCUSTOMDRAW& draw, LRESULT hostAnswer, bool hostAsked)
{
    // A host that answered anything, or changed the DC's colours, draws the
    // item its way: the control goes on with what the host asked for.
    if (hostAsked && (hostAnswer != 0 || GetTextColor(draw.hdc) != m_offeredText || GetBkColor(draw.hdc) != m_offeredBack))
        return hostAnswer;
    DrawItem(draw.hdc, static_cast<int>(draw.dwItemSpec), draw.rc, ItemState(draw));
    return CDRF_SKIPDEFAULT;
}

void CKivHeaderCtrl::DrawItem(HDC dc, int index, const RECT& bounds, State state)
{
    const CKivCommonLook& look = CKivCommonLook::Current();
    const CKivCommonLook::Surface surface = SurfaceFor(state == State::Pressed ? 2 : state == State::Hot ? 1 : 0);
    CKivCommonLook::Fill(dc, bounds, look.bar);
    CKivCommonLook::Fill(dc, bounds, surface);
    // The skin's line between items and under them, a pixel at 96 DPI.
    const int line = CKivDpiScale::OfWindow(Window()).Scale(1);
    CKivCommonLook::FillColour(dc, RECT{bounds.right - line, bounds.top, bounds.right, bounds.bottom}, look.line);
    CKivCommonLook::FillColour(dc, RECT{bounds.left, bounds.bottom - line, bounds.right, bounds.bottom}, look.line);
    RECT content = bounds;
    if (state == State::Pressed)
        OffsetRect(&content, 2, 2);  // as the control shifts a pressed item
    DrawContent(dc, index, content, surface.text, surface.grayText);
}

void CKivHeaderCtrl::DrawContent(HDC dc, int index, RECT r, COLORREF text, COLORREF grayText)
{
    wchar_t buffer[260] = {};
    HDITEMW item = {};
    // Text and image together, as the control asks its host for callback
    // items when it draws one itself.
    item.mask = HDI_FORMAT | HDI_TEXT | HDI_IMAGE | HDI_BITMAP;
    item.pszText = buffer;
    item.cchTextMax = static_cast<int>(sizeof(buffer) / sizeof(buffer[0]));
    if (!CallPrevious(HDM_GETITEMW, index, reinterpret_cast<LPARAM>(&item)))
        return;
    const HWND window = Window();
    CKivSelectObject font(dc, ControlFont());
    const int margin = static_cast<int>(CallPrevious(HDM_GETBITMAPMARGIN, 0, 0));
    const HIMAGELIST images = reinterpret_cast<HIMAGELIST>(CallPrevious(HDM_GETIMAGELIST, 0, 0));
    if (Window() != window)
        return;
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    const int rw = r.right - r.left;
    const int rh = r.bottom - r.top;
    const bool hasText = item.pszText != nullptr && item.pszText != LPSTR_TEXTCALLBACKW && item.pszText[0] != 0;

    // The control's own layout: content width, alignment, then the parts.
    int cw = 0, iw = 0, bw = 0, sortW = 0, sortH = 0;
    int imageCx = 0, imageCy = 0;
    BITMAP bitmap = {};
    if ((item.fmt & HDF_STRING) && hasText)
    {
        RECT extent = {};
        DrawTextW(dc, item.pszText, -1, &extent, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_CALCRECT);
        cw = extent.right - extent.left + 2 * margin;
    }
    if (item.fmt & (HDF_SORTUP | HDF_SORTDOWN))
    {
        sortH = MulDiv(metrics.tmHeight, 4, 13);
        sortW = 2 * sortH - 1 + margin * 2;
        cw += sortW;
    }
    else
    {
        if ((item.fmt & HDF_IMAGE) && images != nullptr && ImageList_GetIconSize(images, &imageCx, &imageCy))
            iw = imageCx + 2 * margin;
        if ((item.fmt & HDF_BITMAP) && item.hbm != nullptr && GetObjectW(item.hbm, sizeof(bitmap), &bitmap))
            bw = bitmap.bmWidth + 2 * margin;
        cw += iw ? iw : bw;
    }
    int cx = r.left;
    if ((item.fmt & HDF_JUSTIFYMASK) == HDF_CENTER)
        cx = r.left + rw / 2 - cw / 2;
    else if ((item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT)
        cx = r.right - cw;
    cx = std::max(cx, static_cast<int>(r.left));
    cw = std::min(cw, static_cast<int>(r.right) - cx);
    int tx = cx + margin;
    int tw = cw - margin * 2 - sortW;
    const int sortX = cx + tw + margin * 3;
    int ix = 0, bx = 0;
    const int picture = iw ? iw : bw;
    if (picture)
    {
        tw -= picture;
        const int x = (item.fmt & HDF_BITMAP_ON_RIGHT) ? cx + tw + margin * 3 : cx + margin;
        if (!(item.fmt & HDF_BITMAP_ON_RIGHT))
            tx += picture;
        (iw ? ix : bx) = x;
    }
    if (iw && bw)
        bx = (item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT ? cx - bw + margin : cx + cw + margin;

    const int saved = SaveDC(dc);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    if (sortW)
        DrawSortArrow(dc, sortX, r.top + (rh - sortH) / 2, sortH, (item.fmt & HDF_SORTUP) != 0, grayText);
    if (bw)
    {
        CKivCompatibleDC source(dc);
        CKivSelectObject select(source, item.hbm);
        BitBlt(dc, bx, r.top + (rh - bitmap.bmHeight) / 2, bitmap.bmWidth, bitmap.bmHeight, source, 0, 0, SRCCOPY);
    }
    if (iw)
        ImageList_DrawEx(images, item.iImage, dc, ix, r.top + (rh - imageCy) / 2, imageCx, imageCy, CLR_DEFAULT,
                         CLR_DEFAULT, 0);
    RestoreDC(dc, saved);
    const bool plainText = (item.fmt & HDF_STRING) ||
                           !(item.fmt & (HDF_OWNERDRAW | HDF_STRING | HDF_BITMAP | HDF_BITMAP_ON_RIGHT | HDF_IMAGE));
    if (plainText && hasText)
    {
        RECT area = {tx, r.top, tx + std::max(tw, 0), r.bottom};
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, text);
        DrawTextW(dc, item.pszText, -1, &area, DT_LEFT | DT_END_ELLIPSIS | DT_VCENTER | DT_SINGLELINE);
    }
}

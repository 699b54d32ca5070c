#include "CKivReBarCtrl.h"
#include <algorithm>
#include <vector>
#include "CKivCommonLook.h"
#include "CKivCustomDrawWatch.h"
#include "CKivGdiObject.h"
#include "CKivSelectObject.h"
#include "CKivTextContrast.h"
#include "CKivWindowDC.h"

namespace {

// The control's own header metrics.
const int kPreGripper = 2;
const int kGripperWidth = 3;
const int kAlwaysSpace = 4;
const int kPostImage = 2;
const int kPostChild = 4;
const int kChevronWidth = 10;
const int kSeparator = 2;
const int kPostText = 4;

// The control hands every band the system's face and text colours unless
// the host chose others: only those are the host's own.
bool OwnBack(COLORREF colour)
{
    return colour != CLR_DEFAULT && colour != CLR_NONE && colour != GetSysColor(COLOR_BTNFACE);
}

bool OwnFore(COLORREF colour)
{
    return colour != CLR_DEFAULT && colour != CLR_NONE && colour != GetSysColor(COLOR_BTNTEXT);
}

struct Band
{
    RECT rect;
    REBARBANDINFOW info;
    wchar_t text[260];
};

}  // namespace

CKivReBarCtrl::~CKivReBarCtrl() = default;

LRESULT CKivReBarCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == RB_SETPARENT && Window() != nullptr)
        return PassSetParent(message, wParam, lParam);
    return CKivCommonCtrl::WindowProc(message, wParam, lParam);
}

bool CKivReBarCtrl::ExpectsCustomDraw()
{
    // Every shown band announces its paint.
    const int count = static_cast<int>(CallPrevious(RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
    {
        REBARBANDINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = RBBIM_STYLE;
        if (CallPrevious(RB_GETBANDINFOW, i, reinterpret_cast<LPARAM>(&info)) && !(info.fStyle & RBBS_HIDDEN))
            return true;
    }
    return false;
}

void CKivReBarCtrl::PaintBackground(HDC dc, const RECT& client)
{
    // Without a parent skin the host may yet draw bands itself: the control's
    // own background goes first, and the skin's over all of it afterwards
    // when the host left everything to the control.
    if (!ParentHandsOver())
        CallPrevious(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    else
        PaintBar(dc, client);
}

void CKivReBarCtrl::PaintBar(HDC dc, const RECT& client)
{
    const CKivCommonLook& look = CKivCommonLook::Current();
    CKivCommonLook::Fill(dc, client, look.bar);
    const bool borders = (GetWindowLongPtrW(Window(), GWL_STYLE) & RBS_BANDBORDERS) != 0;
    const int count = static_cast<int>(CallPrevious(RB_GETBANDCOUNT, 0, 0));
    LONG rowTop = LONG_MIN;
    for (int i = 0; i < count; ++i)
    {
        REBARBANDINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = RBBIM_STYLE | RBBIM_COLORS;
        RECT band = {};
        if (!CallPrevious(RB_GETBANDINFOW, i, reinterpret_cast<LPARAM>(&info)) || (info.fStyle & RBBS_HIDDEN) ||
            !CallPrevious(RB_GETRECT, i, reinterpret_cast<LPARAM>(&band)))
            continue;
        // A band the host gave a colour of its own keeps it.
        if (OwnBack(info.clrBack))
            CKivCommonLook::FillColour(dc, band, info.clrBack);
        if (!borders)
            continue;
        if (band.top != rowTop)
        {
            rowTop = band.top;
            CKivCommonLook::FillColour(dc, RECT{client.left, band.bottom, client.right, band.bottom + 1}, look.line);
        }
        if (band.left > 0)
            CKivCommonLook::FillColour(dc, RECT{band.left - kSeparator, band.top, band.left - kSeparator + 1, band.bottom}, look.line);
    }
}

bool CKivReBarCtrl::TakeCustomDraw(NMCUSTOMDRAW& draw, LRESULT* answer)
{
    // The control announces every band, whatever the host answered before:
    // the host answers first, and a band it leaves to the control is ours.
    // Every other stage is the host's alone (a 0 answer passes it on).
    if (draw.dwDrawStage != CDDS_ITEMPREPAINT)
    {
        *answer = 0;
        return true;
    }
    LRESULT host = 0;
    const HWND window = Window();
    if (!AskHost(draw, &host) || Window() != window)
    {
        *answer = 0;
        return true;
    }
    if (host != 0)
    {
        *answer = host;
        return true;
    }
    const int band = BandAt(draw.rc);
    if (band < 0)
    {
        // Not a band we know: the control draws it (a non-zero answer, or
        // the parent's skin would hand it to the host a second time).
        *answer = CDRF_NOTIFYSUBITEMDRAW;
        return true;
    }
    DrawBandHeader(draw.hdc, band, draw.rc);
    *answer = CDRF_SKIPDEFAULT;
    return true;
}

CKivCommonCtrl::Unfiltered CKivReBarCtrl::PaintUnfiltered(HDC dc, const RECT& client, const CKivCustomDrawWatch& heard)
{
    // A host that draws bands itself keeps the control's look, which is
    // complete in the bitmap (background included).
    if (!heard.HostLeftAll())
        return Unfiltered::Control;
    PaintBar(dc, client);
    const int count = static_cast<int>(CallPrevious(RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
    {
        REBARBANDINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = RBBIM_STYLE | RBBIM_HEADERSIZE;
        RECT band = {};
        if (!CallPrevious(RB_GETBANDINFOW, i, reinterpret_cast<LPARAM>(&info)) || (info.fStyle & RBBS_HIDDEN) ||
            !CallPrevious(RB_GETRECT, i, reinterpret_cast<LPARAM>(&band)))
            continue;
        const LONG right = std::min(band.right, band.left + static_cast<LONG>(info.cxHeader));
        DrawBandHeader(dc, i, RECT{band.left, band.top, right - kPostText, band.bottom});
    }
    return Unfiltered::Skin;
}

int CKivReBarCtrl::BandAt(const RECT& drawn)
{
    const int count = static_cast<int>(CallPrevious(RB_GETBANDCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
    {
        RECT band = {};
        if (CallPrevious(RB_GETRECT, i, reinterpret_cast<LPARAM>(&band)) && band.left == drawn.left &&
            band.top == drawn.top)
            return i;
    }
    return -1;
}

void CKivReBarCtrl::DrawBandHeader(HDC dc, int index, const RECT& drawn)
{
    const int count = static_cast<int>(CallPrevious(RB_GETBANDCOUNT, 0, 0));
    Band band = {};
    band.info.cbSize = sizeof(band.info);
    band.info.fMask = RBBIM_STYLE | RBBIM_TEXT | RBBIM_IMAGE | RBBIM_COLORS | RBBIM_HEADERSIZE | RBBIM_IDEALSIZE;
    band.info.lpText = band.text;
    band.info.cch = static_cast<UINT>(sizeof(band.text) / sizeof(band.text[0]));
    if (!CallPrevious(RB_GETBANDINFOW, index, reinterpret_cast<LPARAM>(&band.info)) ||
        !CallPrevious(RB_GETRECT, index, reinterpret_cast<LPARAM>(&band.rect)))
        return;
    int movable = 0;
    for (int i = 0; i < count; ++i)
    {
        REBARBANDINFOW other = {};
        other.cbSize = sizeof(other);
        other.fMask = RBBIM_STYLE;
        if (CallPrevious(RB_GETBANDINFOW, i, reinterpret_cast<LPARAM>(&other)) &&
            !(other.fStyle & (RBBS_HIDDEN | RBBS_FIXEDSIZE)))
            ++movable;
    }
    REBARINFO bar = {};
    bar.cbSize = sizeof(bar);
    bar.fMask = RBIM_IMAGELIST;
    CallPrevious(RB_GETBARINFO, 0, reinterpret_cast<LPARAM>(&bar));

    const CKivCommonLook& look = CKivCommonLook::Current();
    const RECT& r = band.rect;
    const REBARBANDINFOW& info = band.info;
    // On a colour of the host's own, the host's text colour, or black or
    // white by that colour.
    const bool ownBack = OwnBack(info.clrBack);
    COLORREF text = look.bar.text;
    if (ownBack)
        text = OwnFore(info.clrFore) ? info.clrFore
                                       : CKivTextContrast::ReadableOn(CKivTextContrast::RelativeLuminance(info.clrBack));
    const bool gripper = !(info.fStyle & RBBS_NOGRIPPER) &&
                         ((info.fStyle & RBBS_GRIPPERALWAYS) || (!(info.fStyle & RBBS_FIXEDSIZE) && movable > 1));
    const bool hasImage = bar.himl != nullptr && info.iImage >= 0 && info.iImage < ImageList_GetImageCount(bar.himl);
    const bool hasText = band.text[0] != 0 && !(info.fStyle & RBBS_HIDETITLE);
    int x = r.left;
    if (gripper)
    {
        // Dots down the gripper's place, in the bar's dimmed text colour.
        const RECT grip = {r.left + kPreGripper, r.top + 2, r.left + kPreGripper + kGripperWidth, r.bottom - 2};
        CKivBrush dots(CreateSolidBrush(look.bar.grayText));
        for (int y = grip.top + 1; dots && y + 2 <= grip.bottom; y += 4)
        {
            const RECT dot = {grip.left, y, grip.left + 2, y + 2};
            FillRect(dc, &dot, dots);
        }
        x = grip.right + kAlwaysSpace;
    }
    else if (hasImage || hasText)
        x += kAlwaysSpace;
    if (hasImage)
    {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(bar.himl, &cx, &cy);
        ImageList_Draw(bar.himl, info.iImage, dc, x, (r.top + r.bottom - cy) / 2, ILD_TRANSPARENT);
        x += cx + kPostImage;
    }
    if (hasText)
    {
        RECT area = {x, r.top + 1, drawn.right, r.bottom - 1};
        CKivSelectObject font(dc, ControlFont());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, text);
        DrawTextW(dc, band.text, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    // A band narrower than its child's ideal width shows a chevron.
    const int childLeft = r.left + static_cast<int>(info.cxHeader);
    const int childRight = r.right - kPostChild;
    if ((info.fStyle & RBBS_USECHEVRON) && childRight - childLeft < static_cast<int>(info.cxIdeal))
    {
        const int left = childRight - kChevronWidth;
        const int top = r.top + (r.bottom - r.top) / 2 - 3;
        CKivBrush brush(CreateSolidBrush(look.bar.text));
        for (int row = 0; brush && row < 3; ++row)
            for (int chevron = 0; chevron < 2; ++chevron)
            {
                const int cx = left + 2 + chevron * 4 + row;
                const RECT up = {cx, top + row, cx + 1, top + row + 1};
                const RECT down = {cx, top + 4 - row, cx + 1, top + 5 - row};
                FillRect(dc, &up, brush);
                FillRect(dc, &down, brush);
            }
    }
}

void CKivReBarCtrl::OnNcPaint()
{
    const HWND window = Window();
    CKivCommonCtrl::OnNcPaint();
    if (Window() != window || window == nullptr || !ShowsSkin())
        return;
    if (!(GetWindowLongPtrW(window, GWL_STYLE) & WS_BORDER))
        return;
    // The etched frame the control draws, in the skin's colours.
    RECT bounds = {};
    GetWindowRect(window, &bounds);
    OffsetRect(&bounds, -bounds.left, -bounds.top);
    CKivWindowDC dc(window);
    if (!dc)
        return;
    const CKivCommonLook& look = CKivCommonLook::Current();
    CKivCommonLook::FrameColour(dc, bounds, look.line);
    InflateRect(&bounds, -1, -1);
    CKivCommonLook::FrameColour(dc, bounds, look.bar.colour);
}

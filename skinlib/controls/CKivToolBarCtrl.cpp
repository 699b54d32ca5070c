#include "CKivToolBarCtrl.h"
#include <algorithm>
#include <uxtheme.h>
#include "CKivCommonLook.h"
#include "CKivDpiScale.h"
#include "CKivGdiObject.h"
#include "CKivWindowDC.h"

namespace {

const int kArrowBoxWidth = 11;  // the control's drop-down arrow part
const int kArrowHeight = 3;


// The control's drop-down triangle (5, 3 and 1 pixels wide) at its place.
void DrawArrow(HDC dc, int left, int top, COLORREF colour)
{
    for (int row = 0; row < kArrowHeight; ++row)
    {
        const RECT line = {left + 2 + row, top + row, left + 2 + 5 - row, top + row + 1};
        CKivCommonLook::FillColour(dc, line, colour);
    }
}

}  // namespace

CKivToolBarCtrl::~CKivToolBarCtrl() = default;

LRESULT CKivToolBarCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == TB_SETPARENT && Window() != nullptr)
        return PassSetParent(message, wParam, lParam);
    return CKivCommonCtrl::WindowProc(message, wParam, lParam);
}

const CKivCommonLook::Surface& CKivToolBarCtrl::SurfaceOf(Face face)
{
    const CKivCommonLook& look = CKivCommonLook::Current();
    switch (face)
    {
    case Face::Hot: return look.barHot;
    case Face::Pressed: return look.barPressed;
    default: return look.bar;
    }
}

void CKivToolBarCtrl::PaintBackground(HDC dc, const RECT& client)
{
    m_client = client;
    CKivCommonLook::Fill(dc, client, CKivCommonLook::BarStretch(Window()), CKivCommonLook::Current().bar);
}

CKivToolBarCtrl::Face CKivToolBarCtrl::FaceOf(const NMCUSTOMDRAW& draw) const
{
    // Buttons at rest stand on the bar, as the system shows them under a
    // visual style, whatever the tool bar's flat style says.
    const UINT state = draw.uItemState;
    if (state & (CDIS_DISABLED | CDIS_INDETERMINATE))
        return Face::None;
    if (state & (CDIS_SELECTED | CDIS_CHECKED))
        return Face::Pressed;
    if (state & CDIS_HOT)
        return Face::Hot;
    return Face::None;
}

void CKivToolBarCtrl::BeforeItem(NMCUSTOMDRAW& draw)
{
    // The control takes its colours from here (after the host, if it asked):
    // texts that read on the face the skin puts under them, and a disabled
    // text's relief in the face colour.
    NMTBCUSTOMDRAW& button = reinterpret_cast<NMTBCUSTOMDRAW&>(draw);
    const CKivCommonLook::Surface& surface = SurfaceOf(FaceOf(draw));
    button.clrText = surface.text;
    button.clrTextHighlight = surface.text;
    button.clrBtnFace = surface.colour;
    button.clrBtnHighlight = surface.colour;
    m_offer = {button.clrText, button.clrTextHighlight, button.clrBtnFace, button.clrBtnHighlight};
}

LRESULT CKivToolBarCtrl::ItemAnswer(NMCUSTOMDRAW& draw, LRESULT hostAnswer, bool hostAsked)
{
    const NMTBCUSTOMDRAW& button = reinterpret_cast<const NMTBCUSTOMDRAW&>(draw);
    if (hostAsked)
    {
        const bool changed = button.clrText != m_offer.text || button.clrTextHighlight != m_offer.textHighlight ||
                             button.clrBtnFace != m_offer.face || button.clrBtnHighlight != m_offer.highlight;
        // A host that draws the button, or asks for anything beyond its own
        // post-paint stage, gets what it asked for.
        if (changed || (hostAnswer & ~static_cast<LRESULT>(CDRF_NOTIFYPOSTPAINT)) != 0)
            return hostAnswer;
    }
    const Face face = FaceOf(draw);
    if (face != Face::None)
        CKivCommonLook::Fill(draw.hdc, draw.rc, SurfaceOf(face));
    // The control covers checked and indeterminate buttons with a dither
    // unless they are hot; it reads the state back from here, after the host
    // has seen it, and the skin's face is the checked look instead.
    m_addedHot = (draw.uItemState & (CDIS_CHECKED | CDIS_INDETERMINATE)) && !(draw.uItemState & CDIS_HOT);
    if (m_addedHot)
        draw.uItemState |= CDIS_HOT;
    // Neither the system's edges nor, under a visual style, its button background.
    LRESULT answer = TBCDRF_NOEDGES | TBCDRF_NOBACKGROUND | (hostAnswer & CDRF_NOTIFYPOSTPAINT);
    const Arrow arrow = ArrowOf(draw);
    if (!IsRectEmpty(&arrow.box))
        answer |= CDRF_NOTIFYPOSTPAINT;
    return answer;
}

CKivToolBarCtrl::Arrow CKivToolBarCtrl::ArrowOf(const NMCUSTOMDRAW& draw)
{
    Arrow none = {};
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_STYLE;
    if (CallPrevious(TB_GETBUTTONINFOW, draw.dwItemSpec, reinterpret_cast<LPARAM>(&info)) < 0)
        return none;
    const LRESULT exStyle = CallPrevious(TB_GETEXTENDEDSTYLE, 0, 0);
    const bool arrow = ((exStyle & TBSTYLE_EX_DRAWDDARROWS) && (info.fsStyle & BTNS_DROPDOWN)) ||
                       (info.fsStyle & BTNS_WHOLEDROPDOWN);
    if (!arrow)
        return none;
    const bool flat = (GetWindowLongPtrW(Window(), GWL_STYLE) & TBSTYLE_FLAT) != 0;
    Arrow found = {};
    found.box = draw.rc;
    found.box.left = std::max(static_cast<int>(draw.rc.left),
                              static_cast<int>(draw.rc.right) - kArrowBoxWidth - (flat ? 0 : 2));
    found.whole = (info.fsStyle & BTNS_WHOLEDROPDOWN) != 0;
    if (found.whole)
    {
        // No part of its own: only the glyph's place (and where a pressed
        // button shifts it by a pixel).
        const RECT& box = found.box;
        const int top = box.top + (box.bottom - box.top - kArrowHeight) / 2;
        found.box = RECT{box.left + 2, top, box.left + 2 + 6, top + kArrowHeight + 1};
    }
    return found;
}

void CKivToolBarCtrl::AfterItem(NMCUSTOMDRAW& draw)
{
    // The host's post-paint stage sees the state the control has.
    if (m_addedHot)
        draw.uItemState &= ~static_cast<UINT>(CDIS_HOT);
    m_addedHot = false;
    // The control draws drop-down arrows in the system's text colour, and
    // the edges of a separate arrow part whatever the item answer said.
    const Arrow arrow = ArrowOf(draw);
    const RECT& box = arrow.box;
    if (IsRectEmpty(&box))
        return;
    const Face face = FaceOf(draw);
    const CKivCommonLook::Surface& surface = SurfaceOf(face);
    const bool whole = arrow.whole;
    CKivCommonLook::Fill(draw.hdc, box, CKivCommonLook::BarStretch(Window()), CKivCommonLook::Current().bar);
    if (face != Face::None)
        CKivCommonLook::Fill(draw.hdc, box, draw.rc, surface);
    if (!whole && face != Face::None)
        CKivCommonLook::FillColour(draw.hdc, RECT{box.left, box.top, box.left + 1, box.bottom}, CKivCommonLook::Current().line);
    const bool disabled = (draw.uItemState & (CDIS_DISABLED | CDIS_INDETERMINATE)) != 0;
    const int top = whole ? box.top : box.top + (box.bottom - box.top - kArrowHeight) / 2;
    DrawArrow(draw.hdc, whole ? box.left - 2 : box.left, top, disabled ? surface.grayText : surface.text);
}

void CKivToolBarCtrl::PaintOver(HDC dc, const RECT& client)
{
    DrawSeparators(dc, client);
}

void CKivToolBarCtrl::DrawSeparators(HDC dc, const RECT& client)
{
    const LONG_PTR style = GetWindowLongPtrW(Window(), GWL_STYLE);
    // The control draws separators in flat tool bars, and under a visual style.
    if (!(style & TBSTYLE_FLAT) && GetWindowTheme(Window()) == nullptr)
        return;
    const CKivCommonLook& look = CKivCommonLook::Current();
    const RECT stretch = CKivCommonLook::BarStretch(Window());
    // The separator line and its ends' insets at the window's scale.
    const CKivDpiScale scale = CKivDpiScale::OfWindow(Window());
    const int width = scale.Scale(1), inset = scale.Scale(2);
    const int count = static_cast<int>(CallPrevious(TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
    {
        TBBUTTON button = {};
        RECT item = {};
        if (!CallPrevious(TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button)) || !(button.fsStyle & BTNS_SEP) ||
            (button.fsState & TBSTATE_HIDDEN) || !CallPrevious(TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item)))
            continue;
        RECT visible = {};
        if (!IntersectRect(&visible, &item, &client))
            continue;
        CKivCommonLook::Fill(dc, item, stretch, look.bar);
        RECT line = item;
        if (style & CCS_VERT)
        {
            line.top = item.top + (item.bottom - item.top - 2) / 2;
            line.bottom = line.top + width;
            InflateRect(&line, -inset, 0);
        }
        else
        {
            line.left = (item.left + item.right) / 2 - 1;
            line.right = line.left + width;
            line.top = item.top + inset;
            line.bottom = item.bottom - inset;
        }
        CKivCommonLook::FillColour(dc, line, look.line);
    }
}

void CKivToolBarCtrl::OnNcPaint()
{
    const HWND window = Window();
    CKivCommonCtrl::OnNcPaint();
    if (Window() != window || window == nullptr || !ShowsSkin())
        return;
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    if (style & CCS_NODIVIDER)
        return;
    // The divider the control draws above itself, in the skin's colours.
    RECT bounds = {};
    GetWindowRect(window, &bounds);
    OffsetRect(&bounds, -bounds.left, -bounds.top);
    if (style & WS_BORDER)
        InflateRect(&bounds, -1, -1);
    CKivWindowDC dc(window);
    if (!dc)
        return;
    const CKivCommonLook& look = CKivCommonLook::Current();
    CKivCommonLook::FillColour(dc, RECT{bounds.left, bounds.top, bounds.right, bounds.top + 1}, look.line);
    CKivCommonLook::FillColour(dc, RECT{bounds.left, bounds.top + 1, bounds.right, bounds.top + 2}, look.bar.colour);
}

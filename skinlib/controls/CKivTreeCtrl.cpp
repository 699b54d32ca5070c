#include "CKivTreeCtrl.h"
#include <commctrl.h>
#include <cstring>
#include "CKivClientDC.h"
#include "CKivCustomDrawWatch.h"
#include "CKivGdiObject.h"
#include "CKivSelectObject.h"
#include "CKivTextContrast.h"
#include "KivSkinSettings.h"

CKivTreeCtrl::~CKivTreeCtrl() = default;

int CKivTreeCtrl::Setup(const KivSkinSettings& settings)
{
    SetBorderColor(static_cast<COLORREF>(settings.treeControlBorderColor));
    m_backColor = static_cast<COLORREF>(settings.treeControlBackColor) & 0x00FFFFFF;
    m_select = static_cast<COLORREF>(settings.listBoxSelectItemColor) & 0x00FFFFFF;
    TakeScrollBarColours(settings);
    if (Window() == nullptr)
        return 0;
    RedrawAll();
    return 1;
}

void CKivTreeCtrl::OnSkinChanged(const KivSkinSettings& settings)
{
    Setup(settings);
    // The control takes the new colours now, so that they are part of the
    // one repaint to come; at the next frame paint they would bring a
    // second one, in the old colours first.
    if (m_changedBackColor && Window() != nullptr)
        AfterNcPaint();
}

LRESULT CKivTreeCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case TVM_GETBKCOLOR:
    case TVM_SETBKCOLOR:
    case TVM_GETTEXTCOLOR:
    case TVM_SETTEXTCOLOR: return OnHostColour(message, wParam, lParam);
    case WM_PAINT:
    case WM_PRINTCLIENT: return OnTreePaint(message, wParam, lParam);
    default: return CKivViewCtrl::WindowProc(message, wParam, lParam);
    }
}

LRESULT CKivTreeCtrl::OnHostColour(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = Window();
    const bool back = message == TVM_GETBKCOLOR || message == TVM_SETBKCOLOR;
    if (message == TVM_GETBKCOLOR || message == TVM_GETTEXTCOLOR)
    {
        // While the skin's colour stands, the host reads its own.
        const bool skins = back ? (m_changedBackColor && !m_hostBackColor) : (m_changedTextColor && !m_hostTextColor);
        if (skins)
            return back ? m_originalBackColor : m_originalTextColor;
        return CKivViewCtrl::WindowProc(message, wParam, lParam);
    }
    // The previous colour as the host would see it unskinned.
    const LRESULT previous = OnHostColour(back ? TVM_GETBKCOLOR : TVM_GETTEXTCOLOR, 0, 0);
    const LRESULT answer = CKivViewCtrl::WindowProc(message, wParam, lParam);
    if (Window() != window)
        return answer;
    (back ? m_hostBackColor : m_hostTextColor) = true;
    // A new background wants a text colour that reads on it.
    if (back && !m_hostTextColor)
        ApplyColours();
    return previous;
}

void CKivTreeCtrl::ApplyColours()
{
    // The skin attaches before the control has made its own data, so the
    // colours to give back are read at the first change.
    if (!m_changedBackColor && !m_changedTextColor)
    {
        m_originalBackColor = CallPrevious(TVM_GETBKCOLOR, 0, 0);
        m_originalTextColor = CallPrevious(TVM_GETTEXTCOLOR, 0, 0);
    }
    COLORREF back = m_backColor;
    if (m_hostBackColor)
    {
        const LRESULT host = CallPrevious(TVM_GETBKCOLOR, 0, 0);
        back = host == -1 ? GetSysColor(COLOR_WINDOW) : static_cast<COLORREF>(host);
    }
    else if (static_cast<COLORREF>(CallPrevious(TVM_GETBKCOLOR, 0, 0)) != m_backColor)
    {
        // Setting a colour repaints the items: only when it differs.
        m_changedBackColor = true;
        CallPrevious(TVM_SETBKCOLOR, 0, static_cast<LPARAM>(m_backColor));
    }
    if (m_hostTextColor)
        return;
    const COLORREF text = CKivTextContrast::ReadableOn(CKivTextContrast::RelativeLuminance(back));
    if (static_cast<COLORREF>(CallPrevious(TVM_GETTEXTCOLOR, 0, 0)) != text)
    {
        m_changedTextColor = true;
        CallPrevious(TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(text));
    }
}

void CKivTreeCtrl::AfterNcPaint()
{
    ApplyColours();
}

bool CKivTreeCtrl::TakesItemStages()
{
    // Only a selection lies on another colour than the body: the system's
    // highlight with the focus, its face colour without.
    const HWND window = Window();
    return GetFocus() == window || (GetWindowLongPtrW(window, GWL_STYLE) & TVS_SHOWSELALWAYS) != 0;
}

std::pair<COLORREF, COLORREF> CKivTreeCtrl::ItemColours(const NMCUSTOMDRAW* draw) const
{
    const NMTVCUSTOMDRAW* item = reinterpret_cast<const NMTVCUSTOMDRAW*>(draw);
    return {item->clrText, item->clrTextBk};
}

void CKivTreeCtrl::ColourItem(NMCUSTOMDRAW* draw)
{
    NMTVCUSTOMDRAW* item = reinterpret_cast<NMTVCUSTOMDRAW*>(draw);
    // The control offers a selection in the system's colours: the highlight
    // with the focus, the face colour without. The skin shows it in its own
    // selection colour, as lists show theirs.
    const COLORREF offered = item->clrTextBk & 0x00FFFFFF;
    const bool systemSelection =
        offered != m_backColor && (offered == GetSysColor(COLOR_HIGHLIGHT) ||
                                   ((draw->uItemState & CDIS_SELECTED) && offered == GetSysColor(COLOR_BTNFACE)));
    if (systemSelection)
    {
        item->clrTextBk = m_select;
        item->clrText = CKivTextContrast::ReadableOn(CKivTextContrast::RelativeLuminance(m_select));
        return;
    }
    const double back = CKivTextContrast::RelativeLuminance(item->clrTextBk);
    if (CKivTextContrast::ContrastRatio(CKivTextContrast::RelativeLuminance(item->clrText), back) < 4.5)
        item->clrText = CKivTextContrast::ReadableOn(back);
}

void CKivTreeCtrl::RestoreControl()
{
    if (m_changedBackColor && !m_hostBackColor)
        CallPrevious(TVM_SETBKCOLOR, 0, m_originalBackColor);
    if (m_changedTextColor && !m_hostTextColor)
        CallPrevious(TVM_SETTEXTCOLOR, 0, m_originalTextColor);
    m_changedBackColor = false;
    m_changedTextColor = false;
}

LRESULT CKivTreeCtrl::OnTreePaint(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = Window();
    // Under a skinned parent the skin colours the selection in the custom
    // draw it hands back; elsewhere the skin paints it over the control's.
    if (FromHandle(GetParent(window)) != nullptr || !TakesItemStages())
        return CKivViewCtrl::WindowProc(message, wParam, lParam);
    LRESULT answer = 0;
    bool hostLeftAll = true;
    {
        CKivCustomDrawWatch watch(window);
        answer = CKivViewCtrl::WindowProc(message, wParam, lParam);
        hostLeftAll = watch.HostLeftAll();
    }
    // A host that took part in the custom draw keeps what it drew.
    if (Window() != window || !hostLeftAll)
        return answer;
    if (wParam != 0)
        PaintSelection(reinterpret_cast<HDC>(wParam));
    else
    {
        CKivClientDC dc(window);
        PaintSelection(dc.Get());
    }
    return answer;
}

void CKivTreeCtrl::PaintSelection(HDC dc)
{
    const HWND window = Window();
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const bool focused = GetFocus() == window;
    const COLORREF offered = GetSysColor(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
    if (dc == nullptr || (style & TVS_FULLROWSELECT) || offered == m_backColor || m_hostBackColor)
        return;
    const HTREEITEM item = reinterpret_cast<HTREEITEM>(CallPrevious(TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (item == nullptr)
        return;
    wchar_t text[260] = {};
    TVITEMW info = {};
    info.mask = TVIF_HANDLE | TVIF_STATE | TVIF_TEXT;
    info.hItem = item;
    info.stateMask = TVIS_SELECTED | TVIS_BOLD;
    info.pszText = text;
    info.cchTextMax = 260;
    // A bold item is drawn in a font of the control's own: it keeps its look.
    if (!CallPrevious(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&info)) || !(info.state & TVIS_SELECTED) ||
        (info.state & TVIS_BOLD) || info.pszText == nullptr)
        return;
    RECT box = {};
    // The rectangle's first bytes name the item.
    std::memcpy(&box, &item, sizeof(item));
    if (!CallPrevious(TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&box)) || IsRectEmpty(&box))
        return;
    // Where the control put the selection (its text box), in the skin's
    // colour, with the text again at the control's place: two pixels in,
    // centred in the row.
    CKivBrush fill(CreateSolidBrush(m_select));
    FillRect(dc, &box, fill);
    CKivSelectObject font(dc, reinterpret_cast<HFONT>(CallPrevious(WM_GETFONT, 0, 0)));
    const int mode = SetBkMode(dc, TRANSPARENT);
    const COLORREF colour =
        SetTextColor(dc, CKivTextContrast::ReadableOn(CKivTextContrast::RelativeLuminance(m_select)));
    RECT place = box;
    place.left += 2;
    DrawTextW(dc, info.pszText, -1, &place, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SetTextColor(dc, colour);
    SetBkMode(dc, mode);
    if (focused)
        DrawFocusRect(dc, &box);
}

#include "CKivTreeCtrl.h"
#include <commctrl.h>
#include "CKivTextContrast.h"
#include "KivSkinSettings.h"

CKivTreeCtrl::~CKivTreeCtrl() = default;

int CKivTreeCtrl::Setup(const KivSkinSettings& settings)
{
    SetBorderColor(static_cast<COLORREF>(settings.treeControlBorderColor));
    m_backColor = static_cast<COLORREF>(settings.treeControlBackColor);
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
    if (!m_changedBackColor)
        return CKivViewCtrl::WindowProc(message, wParam, lParam);
    switch (message)
    {
    case WM_NOTIFY:
        if (IsOwnNotification(lParam) && reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(NM_CUSTOMDRAW))
            return OnOwnCustomDraw(wParam, lParam);
        return CKivViewCtrl::WindowProc(message, wParam, lParam);
    case TVM_GETBKCOLOR:
    case TVM_SETBKCOLOR: return HostColor(m_originalBackColor, message, lParam);
    case TVM_GETTEXTCOLOR:
    case TVM_SETTEXTCOLOR: return HostColor(m_originalTextColor, message, lParam);
    default: return CKivViewCtrl::WindowProc(message, wParam, lParam);
    }
}

LRESULT CKivTreeCtrl::AskHost(WPARAM wParam, LPARAM lParam)
{
    const HWND parent = GetParent(Window());
    CKivWnd* parentSkin = FromHandle(parent);
    if (parentSkin == nullptr || parentSkin->PreviousProc() == nullptr)
        return CDRF_DODEFAULT;
    return parentSkin->Charset().CallProc(parentSkin->PreviousProc(), parent, WM_NOTIFY, wParam, lParam);
}

LRESULT CKivTreeCtrl::OnOwnCustomDraw(WPARAM wParam, LPARAM lParam)
{
    NMTVCUSTOMDRAW* draw = reinterpret_cast<NMTVCUSTOMDRAW*>(lParam);
    const HWND window = Window();
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT)
    {
        // Only the selection shown without the focus lies on another colour.
        m_takesItems = (GetWindowLongPtrW(window, GWL_STYLE) & TVS_SHOWSELALWAYS) != 0 && GetFocus() != window &&
                       FromHandle(GetParent(window)) != nullptr;
        m_hostItems = false;
        if (!m_takesItems)
            return 0;
        const LRESULT host = AskHost(wParam, lParam);
        m_hostItems = (host & CDRF_NOTIFYITEMDRAW) != 0;
        return host | CDRF_NOTIFYITEMDRAW;
    }
    if (!m_takesItems)
        return 0;
    // Every later stage of this paint came because of us or of the host:
    // the host hears what it asked for, and the answer is never 0, which
    // would have the parent ask its own procedure a second time.
    LRESULT answer = 0;
    if (m_hostItems || (draw->nmcd.dwDrawStage & CDDS_ITEM) == 0)
        answer = AskHost(wParam, lParam);
    if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && (answer & CDRF_SKIPDEFAULT) == 0)
    {
        const double back = CKivTextContrast::RelativeLuminance(draw->clrTextBk);
        if (CKivTextContrast::ContrastRatio(CKivTextContrast::RelativeLuminance(draw->clrText), back) < 4.5)
            draw->clrText = CKivTextContrast::ReadableOn(back);
    }
    // The same font again: the control only measures the text once more.
    return answer != 0 ? answer : CDRF_NEWFONT;
}

LRESULT CKivTreeCtrl::HostColor(LRESULT& kept, UINT message, LPARAM lParam)
{
    const LRESULT previous = kept;
    // The control keeps showing the skin's colours; detach gives it the host's.
    if (message == TVM_SETBKCOLOR || message == TVM_SETTEXTCOLOR)
        kept = static_cast<LRESULT>(static_cast<COLORREF>(lParam));
    return previous;
}

void CKivTreeCtrl::AfterNcPaint()
{
    // Setting the colour repaints the items: only when it differs.
    const LRESULT current = CallPrevious(TVM_GETBKCOLOR, 0, 0);
    if (static_cast<COLORREF>(current) == m_backColor)
        return;
    // The skin attaches before the control has made its own data, so the
    // colour to give back is read at the first change.
    if (!m_changedBackColor)
    {
        m_originalBackColor = current;
        m_originalTextColor = CallPrevious(TVM_GETTEXTCOLOR, 0, 0);
    }
    m_changedBackColor = true;
    CallPrevious(TVM_SETBKCOLOR, 0, static_cast<LPARAM>(m_backColor));
    // Item texts stay readable on a dark skin colour.
    CallPrevious(TVM_SETTEXTCOLOR, 0,
                 static_cast<LPARAM>(CKivTextContrast::ReadableOn(CKivTextContrast::RelativeLuminance(m_backColor))));
}

void CKivTreeCtrl::RestoreControl()
{
    if (m_changedBackColor)
    {
        CallPrevious(TVM_SETBKCOLOR, 0, m_originalBackColor);
        CallPrevious(TVM_SETTEXTCOLOR, 0, m_originalTextColor);
    }
    m_changedBackColor = false;
}

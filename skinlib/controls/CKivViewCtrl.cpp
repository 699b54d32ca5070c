#include "CKivViewCtrl.h"
#include <commctrl.h>
#include "CKivGdiObject.h"
#include "CKivSelectObject.h"
#include "CKivWindowDC.h"

CKivViewCtrl::~CKivViewCtrl() = default;

LRESULT CKivViewCtrl::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_NOTIFY:
        // Notifications from the control's children (the list view's header,
        // tooltips) are the control's to handle and pass on; its own are
        // the parent's, but for the item stages of a paint the skin colours.
        if (!IsOwnNotification(lParam))
            return CKivWnd::WindowProc(message, wParam, lParam);
        return reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(NM_CUSTOMDRAW)
                   ? OnOwnCustomDraw(wParam, lParam)
                   : 0;
    default: return CKivScrolledWnd::Dispatch(message, wParam, lParam);
    }
}

LRESULT CKivViewCtrl::AskHost(WPARAM wParam, LPARAM lParam)
{
    const HWND parent = GetParent(Window());
    CKivWnd* parentSkin = FromHandle(parent);
    if (parentSkin == nullptr || parentSkin->PreviousProc() == nullptr)
        return CDRF_DODEFAULT;
    return parentSkin->Charset().CallProc(parentSkin->PreviousProc(), parent, WM_NOTIFY, wParam, lParam);
}

LRESULT CKivViewCtrl::OnOwnCustomDraw(WPARAM wParam, LPARAM lParam)
{
    NMCUSTOMDRAW* draw = reinterpret_cast<NMCUSTOMDRAW*>(lParam);
    if (draw->dwDrawStage == CDDS_PREPAINT)
    {
        m_takesItems = FromHandle(GetParent(Window())) != nullptr && TakesItemStages();
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
    bool hostColoured = false;
    if (m_hostItems || (draw->dwDrawStage & CDDS_ITEM) == 0)
    {
        const std::pair<COLORREF, COLORREF> offered = ItemColours(draw);
        answer = AskHost(wParam, lParam);
        hostColoured = ItemColours(draw) != offered;
    }
    // Colours the host gave the item are its own choice and stay.
    if (draw->dwDrawStage == CDDS_ITEMPREPAINT && (answer & CDRF_SKIPDEFAULT) == 0 && !hostColoured)
        ColourItem(draw);
    // The same font again: the control only measures the text once more.
    return answer != 0 ? answer : CDRF_NEWFONT;
}

void CKivViewCtrl::DrawBorder() const
{
    RECT bounds = {};
    GetWindowRect(Window(), &bounds);
    CKivWindowDC dc(Window());
    if (dc.Get() == nullptr)
        return;
    CKivPen pen(CreatePen(PS_SOLID, 1, m_borderColor));
    CKivSelectObject selectPen(dc, pen);
    CKivSelectObject selectBrush(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top);
}

void CKivViewCtrl::RedrawAll() const
{
    RedrawWhole(Window());
}

void CKivViewCtrl::RedrawWhole(HWND window)
{
    if (window != nullptr && IsWindow(window))
        RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
}

BOOL CKivViewCtrl::Detach()
{
    const HWND window = Window();
    if (window != nullptr && IsWindow(window))
        RestoreControl();
    return CKivScrolledWnd::Detach();
}

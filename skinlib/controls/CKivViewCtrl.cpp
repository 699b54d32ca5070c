#include "CKivViewCtrl.h"
#include "CKivGdiObject.h"
#include "CKivSelectObject.h"
#include "CKivWindowDC.h"

CKivViewCtrl::~CKivViewCtrl() = default;

LRESULT CKivViewCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Notifications from the control's children (the list view's header,
    // tooltips) are the control's to handle and pass on.
    if (message == WM_NOTIFY && IsOwnNotification(lParam))
        return 0;
    return CKivWnd::WindowProc(message, wParam, lParam);
}

void CKivViewCtrl::OnNcPaint()
{
    const HWND window = Window();
    CKivWnd::OnNcPaint();
    if (Window() != window || window == nullptr)
        return;
    DrawBorder();
    AfterNcPaint();
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
    const BOOL detached = CKivWnd::Detach();
    RedrawWhole(window);
    return detached;
}

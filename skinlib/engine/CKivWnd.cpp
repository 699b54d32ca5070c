#include "CKivWnd.h"

std::map<HWND, CKivWnd*>& CKivWnd::SubclassMap()
{
    static std::map<HWND, CKivWnd*> map;
    return map;
}

CKivWnd* CKivWnd::FromHandle(HWND window)
{
    auto& map = SubclassMap();
    auto found = map.find(window);
    return found == map.end() ? nullptr : found->second;
}

LRESULT CALLBACK CKivWnd::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Runs inside the host's message loop: nothing may escape from here.
    try
    {
        CKivWnd* object = FromHandle(window);
        return object ? object->WindowProc(message, wParam, lParam) : 0;
    }
    catch (...)
    {
        return 0;
    }
}

CKivWnd::~CKivWnd()
{
    if (m_hwnd && m_previousProc)
        Detach();
}

BOOL CKivWnd::Attach(HWND window)
{
    if (m_hwnd || m_previousProc || window == nullptr)
        return FALSE;
    m_hwnd = window;
    m_previousProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    if (m_previousProc == nullptr)
    {
        m_hwnd = nullptr;
        return FALSE;
    }
    auto& map = SubclassMap();
    if (map.count(window))
    {
        m_hwnd = nullptr;
        m_previousProc = nullptr;
        return FALSE;
    }
    map[window] = this;
    if (SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CKivWnd::SubclassProc)) == 0)
    {
        map.erase(window);
        m_hwnd = nullptr;
        m_previousProc = nullptr;
        return FALSE;
    }
    return TRUE;
}

BOOL CKivWnd::Detach()
{
    if (m_hwnd == nullptr || m_previousProc == nullptr)
        return FALSE;
    if (SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc)) == 0)
        return FALSE;
    SubclassMap().erase(m_hwnd);
    m_hwnd = nullptr;
    m_previousProc = nullptr;
    return TRUE;
}

LRESULT CKivWnd::CallPrevious(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(m_previousProc, m_hwnd, message, wParam, lParam);
}

LRESULT CKivWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_hwnd == nullptr || m_previousProc == nullptr)
        return 0;
    return Route(message, wParam, lParam);
}

LRESULT CKivWnd::Route(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_SIZE: OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_ACTIVATE: OnActivate(LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam)); return 0;
    case WM_PAINT: OnPaint(); return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_ERASEBKGND: return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_NCCALCSIZE: OnNcCalcSize(wParam, lParam); return 0;
    case WM_NCHITTEST: return OnNcHitTest(lParam);
    case WM_NCPAINT: OnNcPaint(); return 0;
    case WM_NCACTIVATE: return OnNcActivate(wParam);
    case WM_NCMOUSEMOVE: OnNcMouseMove(wParam, lParam); return 0;
    case WM_NCLBUTTONDOWN: OnNcLButtonDown(wParam, lParam); return 0;
    case WM_NCLBUTTONUP: OnNcLButtonUp(wParam, lParam); return 0;
    case WM_NCRBUTTONDOWN: OnNcRButtonDown(wParam, lParam); return 0;
    case WM_NCRBUTTONUP: OnNcRButtonUp(wParam, lParam); return 0;
    case WM_COMMAND: return OnCommand(wParam, lParam);
    case WM_CTLCOLOREDIT: return OnCtlColorChild(message, KIV_WM_CTLCOLOREDIT, wParam, lParam);
    case WM_CTLCOLORLISTBOX: return OnCtlColorChild(message, KIV_WM_CTLCOLOR, wParam, lParam);
    case WM_NOTIFY: return OnNotifyReflect(wParam, lParam);
    case WM_MOUSEMOVE: OnMouseMove(wParam, lParam); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(wParam, lParam); return 0;
    case WM_LBUTTONUP: OnLButtonUp(wParam, lParam); return 0;
    case WM_SIZING: OnSizing(wParam, lParam); return 1;
    case WM_NCMOUSELEAVE: OnNcMouseLeave(); return 0;
    case WM_MOUSELEAVE: OnMouseLeave(); return 0;
    default: return CallPrevious(message, wParam, lParam);
    }
}

LRESULT CKivWnd::OnCtlColorChild(UINT message, UINT childMessage, WPARAM wParam, LPARAM lParam)
{
    const LRESULT answer = SendMessageW(reinterpret_cast<HWND>(lParam), childMessage, wParam, 0);
    if (answer != 0)
        return answer;
    return m_hwnd ? CallPrevious(message, wParam, lParam) : 0;
}

LRESULT CKivWnd::OnNotifyReflect(WPARAM wParam, LPARAM lParam)
{
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header && header->hwndFrom && FromHandle(header->hwndFrom))
    {
        const LRESULT answer = SendMessageW(header->hwndFrom, WM_NOTIFY, wParam, lParam);
        if (answer != 0)
            return answer;
    }
    return m_hwnd ? CallPrevious(WM_NOTIFY, wParam, lParam) : 0;
}

void CKivWnd::OnLButtonDown(WPARAM wParam, LPARAM lParam) { CallPrevious(WM_LBUTTONDOWN, wParam, lParam); }
void CKivWnd::OnLButtonUp(WPARAM wParam, LPARAM lParam) { CallPrevious(WM_LBUTTONUP, wParam, lParam); }
void CKivWnd::OnMouseMove(WPARAM wParam, LPARAM lParam) { CallPrevious(WM_MOUSEMOVE, wParam, lParam); }
void CKivWnd::OnMouseLeave() { CallPrevious(WM_MOUSELEAVE, 0, 0); }
void CKivWnd::OnPaint() { CallPrevious(WM_PAINT, 0, 0); }
LRESULT CKivWnd::OnNcHitTest(LPARAM lParam) { return CallPrevious(WM_NCHITTEST, 0, lParam); }
LRESULT CKivWnd::OnEraseBkgnd(HDC dc) { return CallPrevious(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0); }
void CKivWnd::OnSize(UINT sizeType, int width, int height) { CallPrevious(WM_SIZE, sizeType, MAKELPARAM(width, height)); }
void CKivWnd::OnNcPaint() { CallPrevious(WM_NCPAINT, 1, 0); }
void CKivWnd::OnNcCalcSize(WPARAM wParam, LPARAM lParam) { CallPrevious(WM_NCCALCSIZE, wParam, lParam); }
LRESULT CKivWnd::OnNcActivate(WPARAM wParam) { return CallPrevious(WM_NCACTIVATE, wParam, 0); }
void CKivWnd::OnActivate(UINT state, HWND other, BOOL minimized)
{
    CallPrevious(WM_ACTIVATE, MAKEWPARAM(state, minimized), reinterpret_cast<LPARAM>(other));
}
void CKivWnd::OnNcMouseLeave() { CallPrevious(WM_NCMOUSELEAVE, 0, 0); }
void CKivWnd::OnNcMouseMove(WPARAM hitTest, LPARAM lParam) { CallPrevious(WM_NCMOUSEMOVE, hitTest, lParam); }
void CKivWnd::OnNcLButtonDown(WPARAM hitTest, LPARAM lParam) { CallPrevious(WM_NCLBUTTONDOWN, hitTest, lParam); }
void CKivWnd::OnNcLButtonUp(WPARAM hitTest, LPARAM lParam) { CallPrevious(WM_NCLBUTTONUP, hitTest, lParam); }
void CKivWnd::OnSizing(WPARAM edge, LPARAM rect) { CallPrevious(WM_SIZING, edge, rect); }
void CKivWnd::OnNcRButtonDown(WPARAM hitTest, LPARAM lParam) { CallPrevious(WM_NCRBUTTONDOWN, hitTest, lParam); }
void CKivWnd::OnNcRButtonUp(WPARAM hitTest, LPARAM lParam) { CallPrevious(WM_NCRBUTTONUP, hitTest, lParam); }
void CKivWnd::OnDestroy() { CallPrevious(WM_DESTROY, 0, 0); }
void CKivWnd::OnClose() { CallPrevious(WM_CLOSE, 0, 0); }

LRESULT CKivWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const HWND control = reinterpret_cast<HWND>(lParam);
    if (HIWORD(wParam) == EN_CHANGE && control && SendMessageW(control, KIV_WM_EDITCHANGE, 0, 0) != 0)
        return 0;
    return m_hwnd ? CallPrevious(WM_COMMAND, wParam, lParam) : 0;
}

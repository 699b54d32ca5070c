#include "CKivWndCharset.h"

WNDPROC CKivWndCharset::GetProc(HWND window) const
{
    const LONG_PTR proc = m_unicode ? GetWindowLongPtrW(window, GWLP_WNDPROC) : GetWindowLongPtrA(window, GWLP_WNDPROC);
    return reinterpret_cast<WNDPROC>(proc);
}

WNDPROC CKivWndCharset::SetProc(HWND window, WNDPROC proc) const
{
    const LONG_PTR value = reinterpret_cast<LONG_PTR>(proc);
    const LONG_PTR old = m_unicode ? SetWindowLongPtrW(window, GWLP_WNDPROC, value)
                                   : SetWindowLongPtrA(window, GWLP_WNDPROC, value);
    return reinterpret_cast<WNDPROC>(old);
}

LRESULT CKivWndCharset::CallProc(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) const
{
    if (proc == nullptr)
        return 0;
    return m_unicode ? CallWindowProcW(proc, window, message, wParam, lParam)
                     : CallWindowProcA(proc, window, message, wParam, lParam);
}

LRESULT CKivWndCharset::CallDefault(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const
{
    return m_unicode ? DefWindowProcW(window, message, wParam, lParam)
                     : DefWindowProcA(window, message, wParam, lParam);
}


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

int CKivWndCharset::MessageText(LPARAM text, wchar_t* buffer, int capacity) const
{
    if (buffer == nullptr || capacity <= 0)
        return 0;
    buffer[0] = L'\0';
    if (text == 0 || capacity == 1)
        return 0;
    if (m_unicode)
    {
        const wchar_t* source = reinterpret_cast<const wchar_t*>(text);
        int length = 0;
        while (length < capacity - 1 && source[length] != L'\0')
        {
            buffer[length] = source[length];
            ++length;
        }
        buffer[length] = L'\0';
        return length;
    }
    // One byte never gives more than one UTF-16 unit, so converting at most
    // capacity - 1 bytes always fits.
    const char* source = reinterpret_cast<const char*>(text);
    int bytes = 0;
    while (bytes < capacity - 1 && source[bytes] != '\0')
        ++bytes;
    const int length = bytes > 0 ? MultiByteToWideChar(CP_ACP, 0, source, bytes, buffer, capacity - 1) : 0;
    buffer[length > 0 ? length : 0] = L'\0';
    return length > 0 ? length : 0;
}

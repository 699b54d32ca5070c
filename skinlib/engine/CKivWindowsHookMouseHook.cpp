#include "CKivWindowsHookMouseHook.h"
#include <algorithm>

CKivWindowsHookMouseHook& CKivWindowsHookMouseHook::Instance()
{
    static CKivWindowsHookMouseHook hook;
    return hook;
}

std::vector<HWND>& CKivWindowsHookMouseHook::Windows()
{
    static std::vector<HWND> windows;
    return windows;
}

void CKivWindowsHookMouseHook::AddWindow(HWND window)
{
    if (window && !IsRegistered(window))
        Windows().push_back(window);
}

void CKivWindowsHookMouseHook::RemoveWindow(HWND window)
{
    std::vector<HWND>& windows = Windows();
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
}

bool CKivWindowsHookMouseHook::IsRegistered(HWND window)
{
    const std::vector<HWND>& windows = Windows();
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

void CKivWindowsHookMouseHook::SetMessages(UINT move, UINT leftDown, UINT leftUp, UINT rightDown, UINT rightUp)
{
    m_moveMessage = move;
    m_leftDownMessage = leftDown;
    m_leftUpMessage = leftUp;
    m_rightDownMessage = rightDown;
    m_rightUpMessage = rightUp;
}

UINT CKivWindowsHookMouseHook::ForwardedMessage(UINT mouseMessage) const
{
    switch (mouseMessage)
    {
    case WM_NCMOUSEMOVE:
    case WM_MOUSEMOVE: return m_moveMessage;
    case WM_NCLBUTTONDOWN:
    case WM_LBUTTONDOWN: return m_leftDownMessage;
    case WM_LBUTTONUP: return m_leftUpMessage;
    case WM_RBUTTONDOWN: return m_rightDownMessage;
    case WM_RBUTTONUP: return m_rightUpMessage;
    default: return 0;
    }
}

LRESULT CALLBACK CKivWindowsHookMouseHook::MouseProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code < 0)
        return CallNextHookEx(nullptr, code, wParam, lParam);
    if (code != HC_ACTION)
        return 0;
    CKivWindowsHookMouseHook& hook = Instance();
    const MOUSEHOOKSTRUCT* mouse = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    const UINT forwarded = hook.ForwardedMessage(static_cast<UINT>(wParam));
    POINT cursor = {};
    if (mouse != nullptr && forwarded != 0 && GetCursorPos(&cursor))
    {
        // An open drop-down holds the mouse capture, so the message's own
        // window is seldom the frame: the frame under the cursor is asked first.
        const HWND under = WindowFromPoint(cursor);
        HWND target = under ? GetAncestor(under, GA_ROOT) : nullptr;
        if (!IsRegistered(target))
            target = IsRegistered(mouse->hwnd) ? mouse->hwnd : nullptr;
        if (target != nullptr)
            SendMessageW(target, forwarded, wParam, MAKELPARAM(cursor.x, cursor.y));
    }
    return CallNextHookEx(hook.Handle(), code, wParam, lParam);
}

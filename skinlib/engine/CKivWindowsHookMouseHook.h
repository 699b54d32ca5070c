#pragma once
#include "CKivWindowsHook.h"
#include <vector>

// The mouse hook a frame's menu bar installs while its pop-up menu is open:
// mouse messages of the registered frames are forwarded to them as the
// configured private message numbers (0 = not forwarded).
class CKivWindowsHookMouseHook : public CKivWindowsHook
{
public:
    CKivWindowsHookMouseHook() = default;

    static CKivWindowsHookMouseHook& Instance();
    static LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam);

    // The frames whose mouse messages are forwarded, in attach order.
    static std::vector<HWND>& Windows();
    static void AddWindow(HWND window);
    // Called when a frame's window is destroyed, so that a later window with
    // the same handle gets no forwarded messages.
    static void RemoveWindow(HWND window);
    static bool IsRegistered(HWND window);

    void SetMessages(UINT move, UINT leftDown, UINT leftUp = 0, UINT rightDown = 0, UINT rightUp = 0);
    UINT MoveMessage() const { return m_moveMessage; }
    UINT LeftDownMessage() const { return m_leftDownMessage; }
    UINT LeftUpMessage() const { return m_leftUpMessage; }
    UINT RightDownMessage() const { return m_rightDownMessage; }
    UINT RightUpMessage() const { return m_rightUpMessage; }

    // The number forwarded for a mouse message, 0 for none.
    UINT ForwardedMessage(UINT mouseMessage) const;

private:
    UINT m_moveMessage = 0;
    UINT m_leftDownMessage = 0;
    UINT m_leftUpMessage = 0;
    UINT m_rightDownMessage = 0;
    UINT m_rightUpMessage = 0;
};

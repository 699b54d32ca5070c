#pragma once
#include <windows.h>
#include <vector>
#include "CKivWindowsHook.h"

// Hands the registry the new caption of a window once its WM_SETTEXT has
// been handled, read back with GetWindowTextW. The text a call-window hook
// sees in lParam is in the sender's character set under Wine (Windows
// converts it for a Unicode hook), so a title set with SetWindowTextA cannot
// be read from there. A call-window-return hook is installed only while such
// a message is under way, so ordinary messages pay nothing for it.
class CKivCaptionWatch
{
public:
    static CKivCaptionWatch& Instance();

    // The window is about to get a caption the registry wants to see.
    void Watch(HWND window);
    // Drops what is pending and removes the return hook (the engine stops).
    void Stop();
    size_t PendingCount() const { return m_pending.size(); }

    static LRESULT CALLBACK CallWndRetProc(int code, WPARAM wParam, LPARAM lParam);

private:
    CKivCaptionWatch() = default;
    void OnCaptionHandled(HWND window);

    CKivWindowsHook m_returnHook;
    std::vector<HWND> m_pending;
};

#pragma once
#include <windows.h>
#include "CKivHookedWindows.h"

// Hands the registry a window whose new caption may change its skin once its
// WM_SETTEXT has been handled; the registry reads the stored title back. The
// text a call-window hook sees in lParam is in the sender's character set
// under Wine (Windows converts it for a Unicode hook), so a title set with
// SetWindowTextA cannot be read from there. The call-window-return hook is
// installed only while such a message is under way.
class CKivCaptionWatch
{
public:
    static CKivCaptionWatch& Instance();

    // The window is about to get a caption the registry wants to see.
    void Watch(HWND window);
    // Drops what is pending and removes the return hook (the engine stops).
    void Stop();
    size_t PendingCount() const { return m_pending.Count(); }

    static LRESULT CALLBACK CallWndRetProc(int code, WPARAM wParam, LPARAM lParam);

private:
    CKivCaptionWatch() : m_pending(WH_CALLWNDPROCRET, &CKivCaptionWatch::CallWndRetProc) {}
    void OnCaptionHandled(HWND window);

    CKivHookedWindows m_pending;
};

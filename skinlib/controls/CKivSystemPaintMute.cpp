#include "CKivSystemPaintMute.h"

CKivHookedWindows& CKivSystemPaintMute::Muted()
{
    static CKivHookedWindows muted(WH_CALLWNDPROC, &CKivSystemPaintMute::CallWndProc);
    return muted;
}

CKivSystemPaintMute::CKivSystemPaintMute(HWND window) : m_window(window)
{
    Muted().Add(window);
}

CKivSystemPaintMute::~CKivSystemPaintMute()
{
    Muted().Remove(m_window);
}

bool CKivSystemPaintMute::IsMuted(HWND window)
{
    return Muted().Contains(window);
}

LRESULT CALLBACK CKivSystemPaintMute::CallWndProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && lParam != 0)
    {
        const CWPSTRUCT* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if ((message->message == WM_CTLCOLORBTN || message->message == WM_CTLCOLORSTATIC) && message->wParam != 0 &&
            IsMuted(reinterpret_cast<HWND>(message->lParam)))
            IntersectClipRect(reinterpret_cast<HDC>(message->wParam), 0, 0, 0, 0);
    }
    return CallNextHookEx(Muted().Handle(), code, wParam, lParam);
}

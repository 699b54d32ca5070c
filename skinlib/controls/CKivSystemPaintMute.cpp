#include "CKivSystemPaintMute.h"

CKivHookedWindows& CKivSystemPaintMute::Muted()
{
    static CKivHookedWindows muted(WH_CALLWNDPROCRET, &CKivSystemPaintMute::CallWndProcRet);
    return muted;
}

std::map<HWND, unsigned>& CKivSystemPaintMute::Drawings()
{
    static std::map<HWND, unsigned> drawings;
    return drawings;
}

CKivSystemPaintMute::CKivSystemPaintMute(HWND window) : m_window(window)
{
    m_drawingsBefore = Drawings()[window];
    Muted().Add(window);
}

CKivSystemPaintMute::~CKivSystemPaintMute()
{
    Muted().Remove(m_window);
    if (!Muted().Contains(m_window))
        Drawings().erase(m_window);
}

bool CKivSystemPaintMute::IsMuted(HWND window)
{
    return Muted().Contains(window);
}

bool CKivSystemPaintMute::Painted() const
{
    const auto found = Drawings().find(m_window);
    return found != Drawings().end() && found->second != m_drawingsBefore;
}

LRESULT CALLBACK CKivSystemPaintMute::CallWndProcRet(int code, WPARAM wParam, LPARAM lParam)
{
    // After the parent answered: it saw the DC as the control prepared it.
    if (code == HC_ACTION && lParam != 0)
    {
        const CWPRETSTRUCT* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        const HWND control = reinterpret_cast<HWND>(message->lParam);
        if ((message->message == WM_CTLCOLORBTN || message->message == WM_CTLCOLORSTATIC) && message->wParam != 0 &&
            IsMuted(control))
        {
            IntersectClipRect(reinterpret_cast<HDC>(message->wParam), 0, 0, 0, 0);
            ++Drawings()[control];
        }
    }
    return CallNextHookEx(Muted().Handle(), code, wParam, lParam);
}

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

void CKivSystemPaintMute::Silence(HDC dc, HWND control)
{
    // The system check box and radio button keep the DC's clip region aside
    // while they draw and, without a text, return before putting it back: a
    // clip region of ours would leak one region per state change. Their
    // drawing is moved out of sight instead, which leaves no clip region to
    // keep. Other controls get an empty clip region.
    switch (GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK)
    {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE:
        if (IsButton(control))
        {
            OffsetViewportOrgEx(dc, -kOutOfSight, -kOutOfSight, nullptr);
            return;
        }
        break;
    default:
        break;
    }
    IntersectClipRect(dc, 0, 0, 0, 0);
}

bool CKivSystemPaintMute::IsButton(HWND control)
{
    wchar_t name[16] = {};
    return GetClassNameW(control, name, 16) > 0 && lstrcmpiW(name, L"Button") == 0;
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
            Silence(reinterpret_cast<HDC>(message->wParam), control);
            ++Drawings()[control];
        }
    }
    return CallNextHookEx(Muted().Handle(), code, wParam, lParam);
}

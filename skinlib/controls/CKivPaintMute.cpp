#include "CKivPaintMute.h"

CKivHookedWindows& CKivPaintMute::Hooked()
{
    static CKivHookedWindows hooked(WH_CALLWNDPROCRET, &CKivPaintMute::CallWndProcRet);
    return hooked;
}

std::map<HWND, CKivPaintMute::State>& CKivPaintMute::Open()
{
    static std::map<HWND, State> open;
    return open;
}

CKivPaintMute::Scope::Scope(HWND window, Heard heard) : m_window(window), m_heard(heard)
{
    State& state = Open()[window];
    ++state.open;
    m_drawingsBefore = state.drawings;
    if (heard == Heard::FromParent)
        Hooked().Add(window);
}

CKivPaintMute::Scope::~Scope()
{
    if (m_heard == Heard::FromParent)
        Hooked().Remove(m_window);
    const auto found = Open().find(m_window);
    if (found == Open().end())
        return;
    if (m_heard == Heard::BySkin)
        found->second.drawings = m_drawingsBefore;
    if (--found->second.open == 0)
        Open().erase(found);
}

bool CKivPaintMute::Scope::Painted() const
{
    const auto found = Open().find(m_window);
    return found != Open().end() && found->second.drawings != m_drawingsBefore;
}

CKivPaintMute::MutedDC::MutedDC(HDC dc) : m_dc(dc), m_saved(dc != nullptr ? SaveDC(dc) : 0)
{
    if (m_saved != 0)
        IntersectClipRect(dc, 0, 0, 0, 0);
}

CKivPaintMute::MutedDC::~MutedDC()
{
    if (m_saved != 0)
        RestoreDC(m_dc, m_saved);
}

bool CKivPaintMute::IsMuted(HWND window)
{
    return Open().count(window) != 0;
}

bool CKivPaintMute::Silence(HWND window, HDC dc)
{
    const auto found = Open().find(window);
    if (dc == nullptr || found == Open().end())
        return false;
    Hide(dc, window);
    ++found->second.drawings;
    return true;
}

void CKivPaintMute::Hide(HDC dc, HWND control)
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
    default: break;
    }
    IntersectClipRect(dc, 0, 0, 0, 0);
}

bool CKivPaintMute::IsButton(HWND control)
{
    wchar_t name[16] = {};
    return GetClassNameW(control, name, 16) > 0 && lstrcmpiW(name, L"Button") == 0;
}

LRESULT CALLBACK CKivPaintMute::CallWndProcRet(int code, WPARAM wParam, LPARAM lParam)
{
    // After the parent answered: it saw the DC as the control prepared it.
    if (code == HC_ACTION && lParam != 0)
    {
        const CWPRETSTRUCT* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        const HWND control = reinterpret_cast<HWND>(message->lParam);
        if ((message->message == WM_CTLCOLORBTN || message->message == WM_CTLCOLORSTATIC) && message->wParam != 0 &&
            Hooked().Contains(control))
            Silence(control, reinterpret_cast<HDC>(message->wParam));
    }
    return CallNextHookEx(Hooked().Handle(), code, wParam, lParam);
}

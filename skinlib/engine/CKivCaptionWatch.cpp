#include "CKivCaptionWatch.h"
#include "CKivWndBox.h"

namespace {

// A WM_SETTEXT that never returns (its window procedure ended the thread)
// must not let the list grow: beyond this, the oldest entries are dropped.
const size_t kMaxPending = 64;

}  // namespace

CKivCaptionWatch& CKivCaptionWatch::Instance()
{
    static CKivCaptionWatch watch;
    return watch;
}

void CKivCaptionWatch::Watch(HWND window)
{
    if (m_pending.Count() >= kMaxPending)
        m_pending.DropOldest();
    m_pending.Add(window);
}

void CKivCaptionWatch::Stop()
{
    m_pending.Clear();
}

void CKivCaptionWatch::OnCaptionHandled(HWND window)
{
    // Innermost first: a WM_SETTEXT sent from inside another returns first.
    if (m_pending.Remove(window) && IsWindow(window))
        CKivWndBox::Instance().OnCaptionSet(window);
}

LRESULT CALLBACK CKivCaptionWatch::CallWndRetProc(int code, WPARAM wParam, LPARAM lParam)
{
    CKivCaptionWatch& watch = Instance();
    const LRESULT result = CallNextHookEx(watch.m_pending.Handle(), code, wParam, lParam);
    if (code != HC_ACTION || lParam == 0)
        return result;
    const CWPRETSTRUCT* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    // Runs inside every SendMessage of the host's thread while installed: nothing may escape.
    try
    {
        if (message->message == WM_SETTEXT)
            watch.OnCaptionHandled(message->hwnd);
    }
    catch (...)
    {
    }
    return result;
}

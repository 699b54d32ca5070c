#include "CKivCaptionWatch.h"
#include "CKivWndBox.h"
#include <algorithm>

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
    if (m_pending.size() >= kMaxPending)
        m_pending.erase(m_pending.begin());
    m_pending.push_back(window);
    if (!m_returnHook.IsInstalled())
        m_returnHook.Install(WH_CALLWNDPROCRET, &CKivCaptionWatch::CallWndRetProc);
}

void CKivCaptionWatch::Stop()
{
    m_pending.clear();
    if (m_returnHook.IsInstalled())
        m_returnHook.Uninstall();
}

void CKivCaptionWatch::OnCaptionHandled(HWND window)
{
    // Innermost first: a WM_SETTEXT sent from inside another returns first.
    const auto found = std::find(m_pending.rbegin(), m_pending.rend(), window);
    if (found == m_pending.rend())
        return;
    m_pending.erase(std::next(found).base());
    if (m_pending.empty())
        m_returnHook.Uninstall();
    if (!IsWindow(window))
        return;
    wchar_t caption[260] = {};
    GetWindowTextW(window, caption, 260);
    CKivWndBox::Instance().OnCaptionSet(window, caption);
}

LRESULT CALLBACK CKivCaptionWatch::CallWndRetProc(int code, WPARAM wParam, LPARAM lParam)
{
    CKivCaptionWatch& watch = Instance();
    const LRESULT result = CallNextHookEx(watch.m_returnHook.Handle(), code, wParam, lParam);
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

#include "CKivIconClickTimer.h"
#include <set>
#include <utility>

namespace {

// The timers that may still fire; a message already queued for a timer
// whose object is gone finds nothing here. One UI thread uses them.
std::set<const void*>& Running()
{
    static std::set<const void*> running;
    return running;
}

}  // namespace

CKivIconClickTimer::CKivIconClickTimer(std::function<void()> onSingleClick) : m_onSingleClick(std::move(onSingleClick))
{
}

CKivIconClickTimer::~CKivIconClickTimer()
{
    Stop();
}

void CKivIconClickTimer::Click(HWND window)
{
    ++m_clicks;
    if (m_running)
        return;
    m_window = window;
    m_running = SetTimer(window, reinterpret_cast<UINT_PTR>(this), GetDoubleClickTime(), &CKivIconClickTimer::TimeUp) != 0;
    if (m_running)
        Running().insert(this);
    else
        m_clicks = 0;
}

void CKivIconClickTimer::Stop()
{
    if (m_running && m_window != nullptr)
        KillTimer(m_window, reinterpret_cast<UINT_PTR>(this));
    Running().erase(this);
    m_running = false;
    m_clicks = 0;
}

void CALLBACK CKivIconClickTimer::TimeUp(HWND window, UINT, UINT_PTR id, DWORD)
{
    KillTimer(window, id);
    const void* key = reinterpret_cast<const void*>(id);
    if (Running().count(key) == 0)
        return;
    CKivIconClickTimer* timer = reinterpret_cast<CKivIconClickTimer*>(id);
    if (timer->m_window == window)
        timer->OnTimeUp();
}

void CKivIconClickTimer::OnTimeUp()
{
    const int clicks = m_clicks;
    Running().erase(this);
    m_clicks = 0;
    m_running = false;
    if (clicks == 1 && m_onSingleClick)
        m_onSingleClick();
}

#include "CKivCustomDrawWatch.h"
#include <commctrl.h>
#include <iterator>

CKivHookedWindows& CKivCustomDrawWatch::Watched()
{
    static CKivHookedWindows watched(WH_CALLWNDPROCRET, &CKivCustomDrawWatch::CallWndRetProc);
    return watched;
}

std::vector<CKivCustomDrawWatch*>& CKivCustomDrawWatch::Active()
{
    static std::vector<CKivCustomDrawWatch*> active;
    return active;
}

CKivCustomDrawWatch::CKivCustomDrawWatch(HWND control) : m_control(control)
{
    Active().push_back(this);
    Watched().Add(control);
}

CKivCustomDrawWatch::~CKivCustomDrawWatch()
{
    Watched().Remove(m_control);
    auto& active = Active();
    for (auto it = active.rbegin(); it != active.rend(); ++it)
        if (*it == this)
        {
            active.erase(std::next(it).base());
            break;
        }
}

bool CKivCustomDrawWatch::Heard(UINT code) const
{
    for (UINT heard : m_codes)
        if (heard == code)
            return true;
    return false;
}

bool CKivCustomDrawWatch::HostLeftAll() const
{
    for (const Answer& answer : m_answers)
        if (answer.answer != 0)
            return false;
    return true;
}

LRESULT CALLBACK CKivCustomDrawWatch::CallWndRetProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && lParam != 0)
    {
        const CWPRETSTRUCT* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        const NMHDR* header = sent->message == WM_NOTIFY ? reinterpret_cast<const NMHDR*>(sent->lParam) : nullptr;
        // The innermost watch of the sending control takes it.
        auto& active = Active();
        for (auto it = active.rbegin(); header != nullptr && it != active.rend(); ++it)
            if ((*it)->m_control == header->hwndFrom)
            {
                (*it)->m_codes.push_back(header->code);
                if (header->code == static_cast<UINT>(NM_CUSTOMDRAW))
                {
                    const NMCUSTOMDRAW* draw = reinterpret_cast<const NMCUSTOMDRAW*>(header);
                    (*it)->m_answers.push_back(Answer{draw->dwDrawStage, draw->dwItemSpec, sent->lResult});
                }
                break;
            }
    }
    return CallNextHookEx(Watched().Handle(), code, wParam, lParam);
}

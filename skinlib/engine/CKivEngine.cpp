#include "CKivEngine.h"
#include "CKivWindowsHook.h"
#include "CKivWndBox.h"

CKivEngine::CKivEngine()
    : m_hook(&CKivWindowsHook::CallWindowHook()), m_registry(&CKivWndBox::Instance())
{
}

CKivEngine& CKivEngine::Instance()
{
    static CKivEngine engine;
    return engine;
}

BOOL CKivEngine::Run()
{
    return m_hook->Install(WH_CALLWNDPROC, &CKivWindowsHook::CallWndProc);
}

BOOL CKivEngine::Stop()
{
    return m_hook->Uninstall();
}

void CKivEngine::AddCaptionFilter(const wchar_t* caption)
{
    if (caption == nullptr)
        return;
    m_captionFilters.emplace_back(caption);
}

void CKivEngine::AddIdFilter(int id)
{
    m_idFilters.insert(id);
}

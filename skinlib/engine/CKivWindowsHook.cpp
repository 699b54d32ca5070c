#include "CKivWindowsHook.h"
#include "CKivCaptionWatch.h"
#include "CKivEngine.h"
#include "CKivSkinStore.h"
#include "CKivWndBox.h"

CKivWindowsHook::~CKivWindowsHook()
{
    if (m_hook)
        Uninstall();
}

BOOL CKivWindowsHook::Install(int hookType, HOOKPROC procedure)
{
    if (procedure == nullptr || m_procedure != nullptr)
        return FALSE;
    m_threadId = GetCurrentThreadId();
    if (m_threadId == 0)
        return FALSE;
    m_procedure = procedure;
    m_hook = SetWindowsHookExW(hookType, procedure, nullptr, m_threadId);
    if (m_hook == nullptr)
    {
        // A refused hook leaves the object free for a later attempt.
        m_procedure = nullptr;
        m_threadId = 0;
        return FALSE;
    }
    return TRUE;
}

BOOL CKivWindowsHook::Uninstall()
{
    if (m_hook == nullptr || !UnhookWindowsHookEx(m_hook))
        return FALSE;
    m_procedure = nullptr;
    m_hook = nullptr;
    m_threadId = 0;
    return TRUE;
}

CKivWindowsHook& CKivWindowsHook::CallWindowHook()
{
    static CKivWindowsHook hook;
    return hook;
}

LRESULT CALLBACK CKivWindowsHook::CallWndProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code < 0)
        return CallNextHookEx(nullptr, code, wParam, lParam);
    if (code != HC_ACTION)
        return 0;
    const CWPSTRUCT* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    // Runs inside every SendMessage of the host's thread: nothing may escape.
    try
    {
        if (message != nullptr && message->message == WM_CREATE)
            OnWindowCreate(message->hwnd, reinterpret_cast<const CREATESTRUCTW*>(message->lParam));
        else if (message != nullptr && message->message == WM_NCDESTROY)
            CKivEngine::Instance().Registry().OnWindowDestroyed(message->hwnd);
        else if (message != nullptr && message->message == WM_SETTEXT &&
                 CKivEngine::Instance().Registry().WantsCaption(message->hwnd))
            CKivCaptionWatch::Instance().Watch(message->hwnd);
    }
    catch (...)
    {
    }
    return CallNextHookEx(CallWindowHook().Handle(), code, wParam, lParam);
}

void CKivWindowsHook::OnWindowCreate(HWND window, const CREATESTRUCTW* create)
{
    // Without a skin every window keeps the system's look: an all-zero skin
    // would take frames' captions and menu bars and paint lists black.
    if (!CKivSkinStore::HasSkin())
        return;
    CKivEngine& engine = CKivEngine::Instance();
    if (!engine.IsIdFiltered(GetDlgCtrlID(window)))
        engine.Registry().OnWindowCreated(window, CKivWndBox::CreationTitle(create));
}

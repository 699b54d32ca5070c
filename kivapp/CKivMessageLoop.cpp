#include "CKivMessageLoop.h"
#include <algorithm>

CKivMessageLoop& CKivMessageLoop::Current()
{
    thread_local CKivMessageLoop loop;
    return loop;
}

void CKivMessageLoop::AddModeless(HWND dialog)
{
    if (dialog && !IsModeless(dialog))
        m_modeless.push_back(dialog);
}

void CKivMessageLoop::RemoveModeless(HWND dialog)
{
    m_modeless.erase(std::remove(m_modeless.begin(), m_modeless.end(), dialog), m_modeless.end());
}

bool CKivMessageLoop::IsModeless(HWND dialog) const
{
    return std::find(m_modeless.begin(), m_modeless.end(), dialog) != m_modeless.end();
}

void CKivMessageLoop::SetAccelerators(HWND target, HACCEL table)
{
    m_acceleratorTarget = target;
    m_accelerators = table;
}

bool CKivMessageLoop::PreTranslate(MSG& message)
{
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST)
        return false;
    if (m_mdiClient && IsWindow(m_mdiClient) && TranslateMDISysAccel(m_mdiClient, &message))
        return true;
    if (m_accelerators && m_acceleratorTarget && IsWindow(m_acceleratorTarget) &&
        TranslateAcceleratorW(m_acceleratorTarget, m_accelerators, &message))
        return true;
    // A copy: IsDialogMessage may close a dialog, which unregisters it.
    const std::vector<HWND> dialogs = m_modeless;
    for (HWND dialog : dialogs)
    {
        if (IsWindow(dialog) && (dialog == message.hwnd || IsChild(dialog, message.hwnd)) &&
            IsDialogMessageW(dialog, &message))
            return true;
    }
    return false;
}

int CKivMessageLoop::Run()
{
    MSG message;
    for (;;)
    {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(message.wParam);
        if (got == -1)
            return -1;
        if (PreTranslate(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

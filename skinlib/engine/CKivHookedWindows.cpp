#include "CKivHookedWindows.h"
#include <algorithm>
#include <iterator>

void CKivHookedWindows::Add(HWND window)
{
    m_windows.push_back(window);
    if (!m_hook.IsInstalled())
        m_hook.Install(m_hookType, m_procedure);
}

bool CKivHookedWindows::Remove(HWND window)
{
    const auto found = std::find(m_windows.rbegin(), m_windows.rend(), window);
    if (found == m_windows.rend())
        return false;
    m_windows.erase(std::next(found).base());
    UninstallWhenEmpty();
    return true;
}

void CKivHookedWindows::DropOldest()
{
    if (!m_windows.empty())
        m_windows.erase(m_windows.begin());
    UninstallWhenEmpty();
}

void CKivHookedWindows::Clear()
{
    m_windows.clear();
    UninstallWhenEmpty();
}

bool CKivHookedWindows::Contains(HWND window) const
{
    return window != nullptr && std::find(m_windows.begin(), m_windows.end(), window) != m_windows.end();
}

void CKivHookedWindows::UninstallWhenEmpty()
{
    if (m_windows.empty() && m_hook.IsInstalled())
        m_hook.Uninstall();
}

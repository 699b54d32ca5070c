#pragma once
#include <windows.h>
#include <vector>
#include "CKivWindowsHook.h"

// The windows a short-lived thread hook is serving while one of their
// messages is under way. The hook is installed with the first window and
// removed with the last, so messages outside those moments pay nothing.
// Entries nest: the same window may be added again by a message sent from
// inside the first, and the innermost entry goes first.
class CKivHookedWindows
{
public:
    CKivHookedWindows(int hookType, HOOKPROC procedure) : m_hookType(hookType), m_procedure(procedure) {}

    void Add(HWND window);
    // Removes the innermost entry of the window; false when it has none.
    bool Remove(HWND window);
    // Drops the oldest entry (a message that never returned).
    void DropOldest();
    void Clear();
    bool Contains(HWND window) const;
    size_t Count() const { return m_windows.size(); }
    HHOOK Handle() const { return m_hook.Handle(); }

private:
    void UninstallWhenEmpty();

    int m_hookType;
    HOOKPROC m_procedure;
    CKivWindowsHook m_hook;
    std::vector<HWND> m_windows;
};

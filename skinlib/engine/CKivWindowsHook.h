#pragma once
#include <windows.h>

// One thread-local Windows hook. The procedure doubles as the in-use mark.
class CKivWindowsHook
{
public:
    CKivWindowsHook() = default;
    virtual ~CKivWindowsHook();
    CKivWindowsHook(const CKivWindowsHook&) = delete;
    CKivWindowsHook& operator=(const CKivWindowsHook&) = delete;

    virtual BOOL Install(int hookType, HOOKPROC procedure);
    virtual BOOL Uninstall();

    bool IsInstalled() const { return m_procedure != nullptr; }
    HHOOK Handle() const { return m_hook; }
    DWORD ThreadId() const { return m_threadId; }

    // The process-wide call-window hook that KivRun installs.
    static CKivWindowsHook& CallWindowHook();
    // Call-window hook procedure: hands each new window to the registry.
    static LRESULT CALLBACK CallWndProc(int code, WPARAM wParam, LPARAM lParam);

private:
    static void OnWindowCreate(HWND window);

    HOOKPROC m_procedure = nullptr;
    HHOOK m_hook = nullptr;
    DWORD m_threadId = 0;
};

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
    // The title comes from the creation parameters: the window is still
    // inside its WM_CREATE, and asking it for its text would send it a
    // message before its own procedure has seen WM_CREATE.
    static void OnWindowCreate(HWND window, const CREATESTRUCTW* create);

    HOOKPROC m_procedure = nullptr;
    HHOOK m_hook = nullptr;
    DWORD m_threadId = 0;
};

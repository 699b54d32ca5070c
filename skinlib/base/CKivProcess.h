#pragma once
#include <windows.h>
#include "CKivHandle.h"

// The process and thread handles CreateProcessW hands out in a
// PROCESS_INFORMATION, owned together and closed together.
class CKivProcess
{
public:
    CKivProcess() = default;
    explicit CKivProcess(const PROCESS_INFORMATION& started) { Take(started); }

    // Takes both handles of a process that was started (closing what was held).
    void Take(const PROCESS_INFORMATION& started)
    {
        m_process.Reset(started.hProcess);
        m_thread.Reset(started.hThread);
        m_processId = started.dwProcessId;
    }
    // Closes both handles.
    void Reset()
    {
        m_process.Reset();
        m_thread.Reset();
        m_processId = 0;
    }
    // Closes the thread handle, once the thread needs no more calls.
    void CloseThread() { m_thread.Reset(); }

    HANDLE Process() const { return m_process.Get(); }
    HANDLE Thread() const { return m_thread.Get(); }
    DWORD Id() const { return m_processId; }
    bool IsStarted() const { return m_process.IsValid(); }

private:
    CKivKernelHandle m_process;
    CKivKernelHandle m_thread;
    DWORD m_processId = 0;
};

#pragma once
#include <windows.h>
#include <string>
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
    // Starts a command line (passed as is) with those creation flags, in
    // that working folder (null: ours); false when it did not start.
    bool Start(const std::wstring& commandLine, DWORD flags = 0, const wchar_t* folder = nullptr)
    {
        Reset();
        std::wstring line = commandLine;  // CreateProcessW may write into it
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION started = {};
        if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, flags, nullptr, folder, &startup, &started))
            return false;
        Take(started);
        return true;
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

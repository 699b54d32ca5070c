// A program started suspended, with KivInject.dll queued to load on its main
// thread before the program's own code runs.
#pragma once
#include <windows.h>
#include <string>
#include "CKivProcess.h"

class CKivInjectedProcess
{
public:
    CKivInjectedProcess() = default;
    CKivInjectedProcess(const CKivInjectedProcess&) = delete;
    CKivInjectedProcess& operator=(const CKivInjectedProcess&) = delete;

    // Starts the command line; with a non-empty dll path the DLL is loaded
    // into the program first. False when the program or the load could not start.
    bool Start(const std::wstring& commandLine, const std::wstring& dllPath);
    DWORD Id() const { return m_process.Id(); }
    HANDLE Process() const { return m_process.Process(); }
    // Waits for the program to end; false on time-out.
    bool WaitForExit(DWORD timeoutMs, DWORD& exitCode) const;
    void Terminate() const;

private:
    bool QueueLoad(const std::wstring& dllPath);

    CKivProcess m_process;
};

#include "CKivInjectedProcess.h"
#include <vector>

bool CKivInjectedProcess::Start(const std::wstring& commandLine, const std::wstring& dllPath)
{
    if (!m_process.Start(commandLine, CREATE_SUSPENDED))
        return false;
    if (!dllPath.empty() && !QueueLoad(dllPath))
    {
        Terminate();
        return false;
    }
    return ResumeThread(m_process.Thread()) != static_cast<DWORD>(-1);
}

// The main thread of a new process runs queued APCs while it initialises,
// before the program's entry point: LoadLibraryW runs there with the DLL's
// path, which is written into the program's memory first. kernel32 lies at
// the same address in every process of a session.
bool CKivInjectedProcess::QueueLoad(const std::wstring& dllPath)
{
    const SIZE_T bytes = (dllPath.size() + 1) * sizeof(wchar_t);
    void* remote = VirtualAllocEx(m_process.Process(), nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote == nullptr)
        return false;
    SIZE_T written = 0;
    if (!WriteProcessMemory(m_process.Process(), remote, dllPath.c_str(), bytes, &written) || written != bytes)
        return false;
    auto load = reinterpret_cast<PAPCFUNC>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
    return load != nullptr && QueueUserAPC(load, m_process.Thread(), reinterpret_cast<ULONG_PTR>(remote)) != 0;
}

bool CKivInjectedProcess::WaitForExit(DWORD timeoutMs, DWORD& exitCode) const
{
    if (!m_process.IsStarted() || WaitForSingleObject(m_process.Process(), timeoutMs) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(m_process.Process(), &exitCode) != 0;
}

void CKivInjectedProcess::Terminate() const
{
    if (m_process.IsStarted())
        TerminateProcess(m_process.Process(), 1);
}

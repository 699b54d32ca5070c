#include "CKivInjectedProcess.h"
#include <vector>

CKivInjectedProcess::~CKivInjectedProcess()
{
    if (m_info.hProcess)
        CloseHandle(m_info.hProcess);
    if (m_info.hThread)
        CloseHandle(m_info.hThread);
}

bool CKivInjectedProcess::Start(const std::wstring& commandLine, const std::wstring& dllPath)
{
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                        &startup, &m_info))
    {
        m_info = {};
        return false;
    }
    if (!dllPath.empty() && !QueueLoad(dllPath))
    {
        Terminate();
        return false;
    }
    return ResumeThread(m_info.hThread) != static_cast<DWORD>(-1);
}

// The main thread of a new process runs queued APCs while it initialises,
// before the program's entry point: LoadLibraryW runs there with the DLL's
// path, which is written into the program's memory first. kernel32 lies at
// the same address in every process of a session.
bool CKivInjectedProcess::QueueLoad(const std::wstring& dllPath)
{
    const SIZE_T bytes = (dllPath.size() + 1) * sizeof(wchar_t);
    void* remote = VirtualAllocEx(m_info.hProcess, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote == nullptr)
        return false;
    SIZE_T written = 0;
    if (!WriteProcessMemory(m_info.hProcess, remote, dllPath.c_str(), bytes, &written) || written != bytes)
        return false;
    auto load = reinterpret_cast<PAPCFUNC>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
    return load != nullptr && QueueUserAPC(load, m_info.hThread, reinterpret_cast<ULONG_PTR>(remote)) != 0;
}

bool CKivInjectedProcess::WaitForExit(DWORD timeoutMs, DWORD& exitCode) const
{
    if (m_info.hProcess == nullptr || WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(m_info.hProcess, &exitCode) != 0;
}

void CKivInjectedProcess::Terminate() const
{
    if (m_info.hProcess)
        TerminateProcess(m_info.hProcess, 1);
}

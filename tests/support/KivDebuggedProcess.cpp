#include "KivDebuggedProcess.h"
#include <vector>

namespace kivtest {

DebuggedProcess::DebuggedProcess(const std::wstring& commandLine)
{
    m_process.Start(commandLine, DEBUG_ONLY_THIS_PROCESS);
}

DebuggedProcess::~DebuggedProcess()
{
    if (!m_process.IsStarted())
        return;
    if (!m_ended)
    {
        TerminateProcess(m_process.Process(), 99);
        RunUntil([] { return false; }, 10000);
    }
}

void DebuggedProcess::Handle(const DEBUG_EVENT& event)
{
    DWORD answer = DBG_CONTINUE;
    switch (event.dwDebugEventCode)
    {
    case CREATE_PROCESS_DEBUG_EVENT:
        if (event.u.CreateProcessInfo.hFile)
            CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
    case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile)
            CloseHandle(event.u.LoadDll.hFile);
        break;
    case EXCEPTION_DEBUG_EVENT:
    {
        const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
        if (record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && event.u.Exception.dwFirstChance)
        {
            if (m_accessViolations++ == 0)
                m_firstViolation = record.ExceptionAddress;
        }
        // The program's own handlers decide, as without a debugger; only the
        // loader's initial breakpoint is ours.
        if (record.ExceptionCode != EXCEPTION_BREAKPOINT)
            answer = DBG_EXCEPTION_NOT_HANDLED;
        break;
    }
    case EXIT_PROCESS_DEBUG_EVENT:
        m_ended = true;
        m_exitCode = event.u.ExitProcess.dwExitCode;
        break;
    default: break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, answer);
}

bool DebuggedProcess::RunUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    if (!m_process.IsStarted())
        return false;
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;)
    {
        DEBUG_EVENT event = {};
        while (!m_ended && WaitForDebugEvent(&event, 0))
            Handle(event);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        if (condition())
            return true;
        if (m_ended || GetTickCount64() >= end)
            return false;
        if (WaitForDebugEvent(&event, 10))
            Handle(event);
    }
}

}  // namespace kivtest

#pragma once
// A program started under the debugging interface, so that the test sees
// every exception the program raises, including those Wine swallows inside
// window procedures called from user32. The events are handled on the thread
// that started the program, while it waits in RunUntil.
#include <windows.h>
#include "CKivProcess.h"
#include <functional>
#include <string>
#include "KivTestProcess.h"

namespace kivtest {

class DebuggedProcess
{
public:
    // commandLine is passed as is; the program runs in our working folder.
    explicit DebuggedProcess(const std::wstring& commandLine);
    // Ends the program if it still runs.
    ~DebuggedProcess();
    DebuggedProcess(const DebuggedProcess&) = delete;
    DebuggedProcess& operator=(const DebuggedProcess&) = delete;

    bool Started() const { return m_process.IsStarted(); }
    DWORD Id() const { return m_process.Id(); }
    // Lets the program run, answering its debug events, until the condition
    // holds, the program has ended or timeoutMs passes; the condition.
    bool RunUntil(const std::function<bool()>& condition, DWORD timeoutMs);
    bool Ended() const { return m_ended; }
    // The exit code once ended, else -1.
    long ExitCode() const { return m_ended ? static_cast<long>(m_exitCode) : -1; }
    // First-chance access violations raised so far, and where the first was.
    int AccessViolations() const { return m_accessViolations; }
    const void* FirstViolationAddress() const { return m_firstViolation; }

private:
    void Handle(const DEBUG_EVENT& event);

    CKivProcess m_process;
    bool m_ended = false;
    DWORD m_exitCode = 0;
    int m_accessViolations = 0;
    const void* m_firstViolation = nullptr;
};

}  // namespace kivtest

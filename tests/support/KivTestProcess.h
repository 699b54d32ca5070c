#pragma once
// A program started by a test; ended (terminated if still running) and its
// handles closed when the object goes.
#include <windows.h>
#include <functional>
#include <string>
#include "CKivProcess.h"

namespace kivtest {

class TestProcess
{
public:
    // commandLine is passed as is; folder is the working folder (null: ours).
    TestProcess(const std::wstring& commandLine, const wchar_t* folder);
    ~TestProcess();
    TestProcess(const TestProcess&) = delete;
    TestProcess& operator=(const TestProcess&) = delete;

    bool Started() const { return m_process.IsStarted(); }
    DWORD Id() const { return m_process.Id(); }
    HANDLE Handle() const { return m_process.Process(); }
    // The exit code once the program has ended within timeoutMs, else -1.
    long ExitCode(DWORD timeoutMs) const;

private:
    CKivProcess m_process;
};

// The first visible top-level window of the process with that class and
// title (either may be null: any), or null.
HWND FindProcessWindow(DWORD process, const wchar_t* className, const wchar_t* title = nullptr);
// The first visible top-level window of the process that accept takes, or null.
HWND FindProcessWindowIf(DWORD process, const std::function<bool(HWND)>& accept);
// A window's class name and title (cut at 255 characters).
std::wstring WindowClass(HWND window);
std::wstring WindowTitle(HWND window);

}  // namespace kivtest

#include "KivTestProcess.h"
#include <vector>

namespace kivtest {

TestProcess::TestProcess(const std::wstring& commandLine, const wchar_t* folder)
{
    m_process.Start(commandLine, 0, folder);
}

TestProcess::~TestProcess()
{
    if (!m_process.IsStarted())
        return;
    if (WaitForSingleObject(m_process.Process(), 0) != WAIT_OBJECT_0)
        TerminateProcess(m_process.Process(), 99);
    WaitForSingleObject(m_process.Process(), 10000);
}

long TestProcess::ExitCode(DWORD timeoutMs) const
{
    DWORD code = 0;
    if (!m_process.IsStarted() || WaitForSingleObject(m_process.Process(), timeoutMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(m_process.Process(), &code))
        return -1;
    return static_cast<long>(code);
}

namespace {

struct Search
{
    DWORD process;
    const std::function<bool(HWND)>* accept;
    HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM parameter)
{
    Search* search = reinterpret_cast<Search*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window) || !(*search->accept)(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

std::wstring WindowClass(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring WindowTitle(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

HWND FindProcessWindowIf(DWORD process, const std::function<bool(HWND)>& accept)
{
    Search search = {process, &accept, nullptr};
    EnumWindows(&Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindProcessWindow(DWORD process, const wchar_t* className, const wchar_t* title)
{
    return FindProcessWindowIf(process, [&](HWND window) {
        return (!className || WindowClass(window) == className) && (!title || WindowTitle(window) == title);
    });
}

}  // namespace kivtest

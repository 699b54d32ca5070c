#include "KivTestProcess.h"
#include <vector>

namespace kivtest {

TestProcess::TestProcess(const std::wstring& commandLine, const wchar_t* folder)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &m_info))
        m_info = {};
}

TestProcess::~TestProcess()
{
    if (!m_info.hProcess)
        return;
    if (WaitForSingleObject(m_info.hProcess, 0) != WAIT_OBJECT_0)
        TerminateProcess(m_info.hProcess, 99);
    WaitForSingleObject(m_info.hProcess, 10000);
    CloseHandle(m_info.hProcess);
    CloseHandle(m_info.hThread);
}

long TestProcess::ExitCode(DWORD timeoutMs) const
{
    DWORD code = 0;
    if (!m_info.hProcess || WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(m_info.hProcess, &code))
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

#pragma once
#include <windows.h>
#include <memory>
#include <string>
#include "CKivApp.h"
#include "CKivFileHandle.h"

// Runs each update check on a worker thread and reports to a window through
// message kResultMessage (wParam = code). One check runs at a time; Stop
// aborts the connection of a running one and waits for its thread.
class CKivUpdateChecker
{
public:
    static constexpr UINT kResultMessage = WM_USER + 160;
    enum Code : int
    {
        kNewVersion = 1,    // lParam: the fetched text (sent)
        kNoUpdates = 2,
        kListReplaced = 3,
        kListMissing = 4,
        kRequestFailed = 5,
        kSizeUnknown = 6,   // also: empty, larger than the cap, or not a list where one was due
        kAboutToRead = 7,   // lParam: the announced size, 0 when the server gave none (sent)
        kReadFailed = 8,
    };
    static const wchar_t* const kAgentName;

    // folder: where "config\update.txt" lives (the program's folder by default).
    explicit CKivUpdateChecker(std::wstring folder = CKivApp::ProgramFolder());
    ~CKivUpdateChecker();
    CKivUpdateChecker(const CKivUpdateChecker&) = delete;
    CKivUpdateChecker& operator=(const CKivUpdateChecker&) = delete;

    // Starts a check reporting to target; false when one is running or no
    // thread could be started.
    bool Start(HWND target);
    bool IsRunning() const;
    // Aborts a running check and waits up to timeoutMs for its thread,
    // handling messages the worker sends meanwhile; true when it ended. A
    // worker still blocked afterwards keeps its own state alive and reports
    // nothing more.
    bool Stop(DWORD timeoutMs);

    const std::wstring& Folder() const { return m_folder; }
    // A Content-Length value as a number; false unless it is all digits.
    // Values beyond the 64-bit range read as the largest value.
    static bool ParseContentLength(const wchar_t* text, ULONGLONG& length);

    class Job;

private:
    std::wstring m_folder;
    std::shared_ptr<Job> m_job;
    // A thread handle; any kernel handle closes the same way.
    CKivFileHandle m_thread;
};

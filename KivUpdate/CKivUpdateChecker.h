#pragma once
#include <windows.h>
#include <memory>
#include <string>
#include <vector>
#include "CKivApp.h"
#include "CKivFileHandle.h"

class CKivUpdateList;

// Runs each update check on a worker thread and reports to a window through
// message kResultMessage (wParam = code). One check runs at a time. The
// network part runs in a child process (CKivUpdateFetchProcess) that the
// worker waits for without blocking in the network itself. The whole check
// has one deadline measured here: when it passes, the child is ended and
// the check reports an unreachable server, whatever the server still does.
// Stop aborts a running check and waits for its thread.
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
        kRequestFailed = 5, // also: no answer before the deadline, a refused redirect
        kSizeUnknown = 6,   // also: empty, larger than the cap, or no update document
        kAboutToRead = 7,   // lParam: the announced size, 0 when the server gave none (sent)
        kReadFailed = 8,
    };
    static constexpr DWORD kDeadlineMs = 30000;
    // An environment variable that can shorten the deadline (never lengthen it).
    static const wchar_t* const kDeadlineVariable;

    // folder: where "config\update.txt" lives (the program's folder by
    // default); program: the program file that runs each fetch in a child
    // process (KivUpdate.exe beside this program by default).
    explicit CKivUpdateChecker(std::wstring folder = CKivApp::ProgramFolder(), DWORD deadlineMs = DefaultDeadlineMs(),
                               std::wstring program = DefaultProgram());
    ~CKivUpdateChecker();
    CKivUpdateChecker(const CKivUpdateChecker&) = delete;
    CKivUpdateChecker& operator=(const CKivUpdateChecker&) = delete;

    // Starts a check reporting to target; false when one is running or no
    // thread could be started.
    bool Start(HWND target);
    bool IsRunning() const;
    // Aborts a running check and waits up to timeoutMs for its thread,
    // handling messages the worker sends meanwhile; true when it ended.
    bool Stop(DWORD timeoutMs);

    const std::wstring& Folder() const { return m_folder; }
    DWORD DeadlineMs() const { return m_deadlineMs; }
    // kDeadlineMs, or less when the environment asks for less.
    static DWORD DefaultDeadlineMs();
    static std::wstring DefaultProgram() { return CKivApp::ProgramFolder() + L"\\KivUpdate.exe"; }

    // What a fetched body means against the list: kNewVersion (text set to
    // the document), kNoUpdates, kListReplaced (the body may replace the
    // list; the caller writes it) or kSizeUnknown. secure: every step of
    // the fetch went over https.
    static int Judge(const CKivUpdateList& list, const std::vector<char>& body, bool secure, std::wstring& text);

    class Job;

private:
    std::wstring m_folder;
    DWORD m_deadlineMs;
    std::wstring m_program;
    std::shared_ptr<Job> m_job;
    // A thread handle; any kernel handle closes the same way.
    CKivFileHandle m_thread;
};

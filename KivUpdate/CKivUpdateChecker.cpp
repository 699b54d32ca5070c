#include "CKivUpdateChecker.h"
#include "CKivPlainFile.h"
#include "CKivSharedThread.h"
#include "CKivUpdateDocument.h"
#include "CKivUpdateFetchProcess.h"
#include "CKivUpdateList.h"
#include "CKivWebAddress.h"
#include <atomic>
#include <cwchar>
#include <mutex>

const wchar_t* const CKivUpdateChecker::kDeadlineVariable = L"KIV_UPDATE_DEADLINE_MS";

namespace {

// Not a result: the check was aborted and reports nothing.
const int kAborted = 0;
// Not a result either: the document has come and is to be judged.
const int kFetched = -1;
// Owners wait in Stop with their own bound; a worker still running after
// that keeps its own state alive and reports nothing more.
const DWORD kDestroyWaitMs = 0;
// How often a running fetch's memory is looked at.
const DWORD kWatchMs = 100;

}  // namespace

// The state one check shares between its worker and the checker: where to
// report, the deadline, and the event that aborts it.
class CKivUpdateChecker::Job
{
public:
    Job(std::wstring folder, std::wstring program, HWND target, DWORD deadlineMs)
        : m_folder(std::move(folder)),
          m_program(std::move(program)),
          m_target(target),
          m_deadline(GetTickCount64() + deadlineMs),
          m_abort(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
    }
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;

    bool IsValid() const { return m_abort != nullptr; }
    const std::wstring& Folder() const { return m_folder; }
    const std::wstring& Program() const { return m_program; }
    std::atomic<bool>& Running() { return m_running; }
    HANDLE AbortEvent() const { return m_abort; }
    // Milliseconds left before the deadline.
    DWORD Left() const
    {
        const ULONGLONG now = GetTickCount64();
        return now >= m_deadline ? 0 : static_cast<DWORD>(m_deadline - now);
    }

    void Abort()
    {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_aborted = true;
        }
        SetEvent(m_abort);
    }
    bool Aborted()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_aborted;
    }
    // Sent results wait for the window to handle them; nothing reaches it
    // once the check was aborted.
    void Send(int code, LPARAM lParam)
    {
        if (!Aborted())
            SendMessageW(m_target, kResultMessage, static_cast<WPARAM>(code), lParam);
    }
    void Post(int code)
    {
        if (!Aborted())
            PostMessageW(m_target, kResultMessage, static_cast<WPARAM>(code), 0);
    }

private:
    std::wstring m_folder;
    std::wstring m_program;
    HWND m_target;
    ULONGLONG m_deadline;
    CKivKernelHandle m_abort;
    std::atomic<bool> m_running{true};
    std::mutex m_lock;
    bool m_aborted = false;
};

namespace {

bool ReplaceList(const std::wstring& path, const std::vector<char>& bytes)
{
    return CKivPlainFile::Write(path, std::vector<BYTE>(bytes.begin(), bytes.end()));
}

int CodeOf(CKivUpdateFetch::Result result)
{
    switch (result)
    {
    case CKivUpdateFetch::Result::kBadReply:
        return CKivUpdateChecker::kSizeUnknown;
    case CKivUpdateFetch::Result::kReadFailed:
        return CKivUpdateChecker::kReadFailed;
    case CKivUpdateFetch::Result::kAborted:
        return kAborted;
    default:
        return CKivUpdateChecker::kRequestFailed;
    }
}

// Waits for the fetch within the check's deadline, announcing the size once
// the head has come; the fetch's result, or the code that ends the check.
int AwaitFetch(CKivUpdateChecker::Job& job, CKivUpdateFetchProcess& fetch, std::vector<char>& body, bool& secure)
{
    bool announced = false;
    for (;;)
    {
        const DWORD left = job.Left();
        if (left == 0)
            return CKivUpdateChecker::kRequestFailed;
        const HANDLE waits[] = {job.AbortEvent(), fetch.Progress()};
        const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, left < kWatchMs ? left : kWatchMs);
        if (woke == WAIT_OBJECT_0)
            return kAborted;
        if (woke == WAIT_TIMEOUT)
        {
            fetch.Watch();
            continue;
        }
        if (woke != WAIT_OBJECT_0 + 1)
            return CKivUpdateChecker::kRequestFailed;
        ULONGLONG size = 0;
        if (!announced && fetch.Head(size))
        {
            announced = true;
            job.Send(CKivUpdateChecker::kAboutToRead, static_cast<LPARAM>(size));
        }
        const CKivUpdateFetch::Result result = fetch.Outcome(body, secure);
        if (result == CKivUpdateFetch::Result::kDocument)
            return kFetched;
        if (result != CKivUpdateFetch::Result::kPending)
            return CodeOf(result);
    }
}

// One check; the result code (or kAborted) and, for a newer version, the text.
int Check(CKivUpdateChecker::Job& job, std::wstring& text)
{
    CKivUpdateList list;
    const std::wstring listPath = CKivUpdateList::PathIn(job.Folder());
    if (!list.Load(listPath))
        return CKivUpdateChecker::kListMissing;
    CKivWebAddress address;
    if (!address.Parse(list.ListUrl()))
        return CKivUpdateChecker::kRequestFailed;

    auto fetch = std::make_shared<CKivUpdateFetchProcess>(job.Program(), address, job.Left());
    if (!CKivUpdateFetchProcess::Launch(fetch))
        return CKivUpdateChecker::kRequestFailed;
    std::vector<char> body;
    bool secure = false;
    const int fetched = AwaitFetch(job, *fetch, body, secure);
    // Over, past the deadline or aborted: the child goes in any case.
    fetch->Abort();
    if (fetched != kFetched)
        return fetched;
    if (job.Aborted())
        return kAborted;

    const int code = CKivUpdateChecker::Judge(list, body, secure, text);
    if (code != CKivUpdateChecker::kListReplaced)
        return code;
    return ReplaceList(listPath, body) ? CKivUpdateChecker::kListReplaced : CKivUpdateChecker::kReadFailed;
}

void WorkerMain(CKivUpdateChecker::Job& job)
{
    std::wstring text;
    int code = CKivUpdateChecker::kReadFailed;
    try
    {
        code = Check(job, text);
    }
    catch (...)
    {
        // Out of memory: reported like a failed read.
    }
    // Idle again before the dialog hears the result, so that it can start
    // the next check at once.
    job.Running() = false;
    if (code == CKivUpdateChecker::kNewVersion)
        job.Send(code, reinterpret_cast<LPARAM>(text.c_str()));
    else if (code != kAborted)
        job.Post(code);
}

}  // namespace

CKivUpdateChecker::CKivUpdateChecker(std::wstring folder, DWORD deadlineMs, std::wstring program)
    : m_folder(std::move(folder)), m_deadlineMs(deadlineMs), m_program(std::move(program))
{
}

CKivUpdateChecker::~CKivUpdateChecker()
{
    Stop(kDestroyWaitMs);
}

DWORD CKivUpdateChecker::DefaultDeadlineMs()
{
    wchar_t text[16] = {};
    const DWORD length = GetEnvironmentVariableW(kDeadlineVariable, text, 16);
    if (length == 0 || length >= 16)
        return kDeadlineMs;
    wchar_t* end = nullptr;
    const unsigned long value = std::wcstoul(text, &end, 10);
    if (end == text || *end != L'\0' || value == 0 || value > kDeadlineMs)
        return kDeadlineMs;
    return static_cast<DWORD>(value);
}

int CKivUpdateChecker::Judge(const CKivUpdateList& list, const std::vector<char>& body, bool secure, std::wstring& text)
{
    if (!CKivUpdateDocument::IsText(body.data(), body.size()))
        return kSizeUnknown;
    const CKivUpdateDocument document(body.data(), body.size());
    if (!document.HasField(list.CurrentMarker()))
    {
        if (!document.AnnouncesVersion())
            return kSizeUnknown;
        text = document.Text();
        return kNewVersion;
    }
    if (document.HasField(list.ListUrl()) && document.HasField(list.ListMarker()))
        return kNoUpdates;
    return list.AcceptsReplacement(body.data(), body.size(), secure) ? kListReplaced : kSizeUnknown;
}

bool CKivUpdateChecker::IsRunning() const
{
    return m_job && m_job->Running();
}

bool CKivUpdateChecker::Start(HWND target)
{
    if (IsRunning())
        return false;
    m_thread.Close();
    // Running from before the thread exists, so that a fast worker clears it
    // after it was set.
    auto job = std::make_shared<Job>(m_folder, m_program, target, m_deadlineMs);
    if (!job->IsValid())
        return false;
    HANDLE thread = CKivSharedThread::Start(job, &WorkerMain);
    if (thread == nullptr)
        return false;
    m_job = std::move(job);
    m_thread.Reset(thread);
    return true;
}

bool CKivUpdateChecker::Stop(DWORD timeoutMs)
{
    if (m_job)
        m_job->Abort();
    if (!m_thread.IsValid())
        return true;
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    HANDLE thread = m_thread.Get();
    for (;;)
    {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now >= end ? 0 : static_cast<DWORD>(end - now);
        // The worker may be inside a SendMessage to this thread.
        const DWORD woke = MsgWaitForMultipleObjects(1, &thread, FALSE, left, QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0)
        {
            m_thread.Close();
            return true;
        }
        if (woke != WAIT_OBJECT_0 + 1)
            return false;
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

#include "CKivUpdateChecker.h"
#include "CKivPlainFile.h"
#include "CKivUpdateDocument.h"
#include "CKivUpdateList.h"
#include <wininet.h>
#include <atomic>
#include <mutex>
#include <vector>

const wchar_t* const CKivUpdateChecker::kAgentName = L"KivUpdateNet";

namespace {

// Not a result: the check was aborted and reports nothing.
const int kAborted = 0;
// A stalled server must not hold a check for ever.
const DWORD kNetworkTimeoutMs = 20000;
// Owners wait in Stop with their own bound; a worker still blocked after
// that keeps its own state alive and ends with the process.
const DWORD kDestroyWaitMs = 0;

}  // namespace

// The state one check shares between its worker and the checker. The
// internet handles live here so that Abort can close them from the
// user-interface thread, which makes a blocked WinINet call return.
class CKivUpdateChecker::Job
{
public:
    enum Slot
    {
        kSession,
        kRequest,
        kSlotCount
    };

    Job(std::wstring folder, HWND target) : m_folder(std::move(folder)), m_target(target) {}
    ~Job() { CloseHandles(); }
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;

    const std::wstring& Folder() const { return m_folder; }
    std::atomic<bool>& Running() { return m_running; }

    // Keeps the handle for Abort; false (and the handle closed) once aborted.
    bool Adopt(Slot slot, HINTERNET handle)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_aborted)
        {
            InternetCloseHandle(handle);
            return false;
        }
        m_handles[slot] = handle;
        return true;
    }
    void Abort()
    {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_aborted = true;
        }
        CloseHandles();
    }
    bool Aborted()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_aborted;
    }
    // The request first: it belongs to the session.
    void CloseHandles()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        for (int slot = kSlotCount - 1; slot >= 0; --slot)
        {
            if (m_handles[slot])
                InternetCloseHandle(m_handles[slot]);
            m_handles[slot] = nullptr;
        }
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
    HWND m_target;
    std::atomic<bool> m_running{true};
    std::mutex m_lock;
    bool m_aborted = false;
    HINTERNET m_handles[kSlotCount] = {};
};

namespace {

bool QueryContentLength(HINTERNET request, ULONGLONG& length)
{
    wchar_t text[64] = {};
    DWORD size = sizeof(text) - sizeof(wchar_t);
    DWORD index = 0;
    if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, &index))
        return false;
    return CKivUpdateChecker::ParseContentLength(text, length);
}

// Reads until the server has no more to give, keeping at most one byte more
// than a document may hold so that a larger one can be told apart.
bool ReadDocument(HINTERNET request, std::vector<char>& bytes)
{
    const size_t keep = CKivUpdateDocument::kMaxBytes + 1;
    char chunk[4096];
    for (;;)
    {
        DWORD got = 0;
        if (!InternetReadFile(request, chunk, sizeof(chunk), &got))
            return false;
        if (got == 0)
            return true;
        const size_t take = got < keep - bytes.size() ? got : keep - bytes.size();
        bytes.insert(bytes.end(), chunk, chunk + take);
        if (bytes.size() >= keep)
            return true;
    }
}

bool ReplaceList(const std::wstring& path, const std::vector<char>& bytes)
{
    return CKivPlainFile::Write(path, std::vector<BYTE>(bytes.begin(), bytes.end()));
}

void SetTimeouts(HINTERNET session)
{
    DWORD timeout = kNetworkTimeoutMs;
    InternetSetOptionW(session, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof(timeout));
    InternetSetOptionW(session, INTERNET_OPTION_SEND_TIMEOUT, &timeout, sizeof(timeout));
    InternetSetOptionW(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof(timeout));
}

// One check; the result code (or kAborted) and, for a newer version, the text.
int Check(CKivUpdateChecker::Job& job, std::wstring& text)
{
    CKivUpdateList list;
    const std::wstring listPath = CKivUpdateList::PathIn(job.Folder());
    if (!list.Load(listPath))
        return CKivUpdateChecker::kListMissing;
    if (!CKivUpdateDocument::IsWebAddress(list.ListUrl()))
        return CKivUpdateChecker::kRequestFailed;

    HINTERNET session = InternetOpenW(CKivUpdateChecker::kAgentName, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (session == nullptr)
        return CKivUpdateChecker::kRequestFailed;
    if (!job.Adopt(CKivUpdateChecker::Job::kSession, session))
        return kAborted;
    SetTimeouts(session);
    HINTERNET request = InternetOpenUrlW(session, list.ListUrl().c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0);
    if (request == nullptr)
        return job.Aborted() ? kAborted : CKivUpdateChecker::kRequestFailed;
    if (!job.Adopt(CKivUpdateChecker::Job::kRequest, request))
        return kAborted;

    DWORD status = 0;
    DWORD size = sizeof(status);
    DWORD index = 0;
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, &index) ||
        status != HTTP_STATUS_OK)
        return CKivUpdateChecker::kRequestFailed;
    // The size comes from the answer's Content-Length; without one the
    // document is read until the server has no more.
    ULONGLONG announced = 0;
    const bool known = QueryContentLength(request, announced);
    if (known && (announced == 0 || announced > CKivUpdateDocument::kMaxBytes))
        return CKivUpdateChecker::kSizeUnknown;
    job.Send(CKivUpdateChecker::kAboutToRead, known ? static_cast<LPARAM>(announced) : 0);

    std::vector<char> bytes;
    if (!ReadDocument(request, bytes))
        return job.Aborted() ? kAborted : CKivUpdateChecker::kReadFailed;
    if (job.Aborted())
        return kAborted;
    if (bytes.empty() || bytes.size() > CKivUpdateDocument::kMaxBytes)
        return CKivUpdateChecker::kSizeUnknown;
    if (known && bytes.size() != announced)
        return CKivUpdateChecker::kReadFailed;

    const CKivUpdateDocument document(bytes.data(), bytes.size());
    if (!document.Contains(list.CurrentMarker()))
    {
        text = document.Text();
        return CKivUpdateChecker::kNewVersion;
    }
    if (document.Contains(list.ListUrl()) && document.Contains(list.ListMarker()))
        return CKivUpdateChecker::kNoUpdates;
    // Only a complete list may take the place of the one there.
    if (!CKivUpdateList::IsWellFormed(bytes.data(), bytes.size()))
        return CKivUpdateChecker::kSizeUnknown;
    return ReplaceList(listPath, bytes) ? CKivUpdateChecker::kListReplaced : CKivUpdateChecker::kReadFailed;
}

DWORD WINAPI WorkerMain(void* parameter)
{
    std::unique_ptr<std::shared_ptr<CKivUpdateChecker::Job>> owner(
        static_cast<std::shared_ptr<CKivUpdateChecker::Job>*>(parameter));
    CKivUpdateChecker::Job& job = **owner;
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
    job.CloseHandles();
    // Idle again before the dialog hears the result, so that it can start
    // the next check at once.
    job.Running() = false;
    if (code == CKivUpdateChecker::kNewVersion)
        job.Send(code, reinterpret_cast<LPARAM>(text.c_str()));
    else if (code != kAborted)
        job.Post(code);
    return 0;
}

}  // namespace

CKivUpdateChecker::CKivUpdateChecker(std::wstring folder) : m_folder(std::move(folder))
{
}

CKivUpdateChecker::~CKivUpdateChecker()
{
    Stop(kDestroyWaitMs);
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
    auto job = std::make_shared<Job>(m_folder, target);
    auto* parameter = new std::shared_ptr<Job>(job);
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, &WorkerMain, parameter, 0, &id);
    if (thread == nullptr)
    {
        delete parameter;
        return false;
    }
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

bool CKivUpdateChecker::ParseContentLength(const wchar_t* text, ULONGLONG& length)
{
    length = 0;
    if (text == nullptr)
        return false;
    while (*text == L' ' || *text == L'\t')
        ++text;
    if (*text < L'0' || *text > L'9')
        return false;
    const ULONGLONG most = ~0ULL;
    for (; *text >= L'0' && *text <= L'9'; ++text)
    {
        const unsigned digit = static_cast<unsigned>(*text - L'0');
        length = length > (most - digit) / 10 ? most : length * 10 + digit;
    }
    while (*text == L' ' || *text == L'\t')
        ++text;
    return *text == L'\0';
}

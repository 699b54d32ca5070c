#include "CKivUpdateFetchProcess.h"
#include "CKivSharedThread.h"
#include <psapi.h>
#include <cwchar>

const wchar_t* const CKivUpdateFetchProcess::kFetchSwitch = L"--fetch";

namespace {

const char kHeadTag = 'H';
const char kResultTag = 'R';

void PutNumber(std::vector<char>& out, ULONGLONG value, int bytes)
{
    for (int index = 0; index < bytes; ++index)
        out.push_back(static_cast<char>((value >> (8 * index)) & 0xFF));
}

// A pipe hands out what has arrived so far: a record written at once may
// come in pieces.
bool ReadFully(const CKivFileHandle& in, void* buffer, size_t size)
{
    char* at = static_cast<char*>(buffer);
    while (size > 0)
    {
        DWORD got = 0;
        if (!ReadFile(in.Get(), at, static_cast<DWORD>(size), &got, nullptr) || got == 0)
            return false;
        at += got;
        size -= got;
    }
    return true;
}

bool GetNumber(const CKivFileHandle& in, ULONGLONG& value, int bytes)
{
    unsigned char data[8] = {};
    if (!ReadFully(in, data, static_cast<size_t>(bytes)))
        return false;
    value = 0;
    for (int index = bytes - 1; index >= 0; --index)
        value = (value << 8) | data[index];
    return true;
}

bool WriteAll(HANDLE out, const std::vector<char>& data)
{
    DWORD written = 0;
    return WriteFile(out, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) && written == data.size();
}

// Owner of a process attribute list that hands the child one handle only.
class InheritOnly
{
public:
    explicit InheritOnly(HANDLE handle) : m_handle(handle)
    {
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        m_storage.resize(size);
        auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(m_storage.data());
        if (size == 0 || !InitializeProcThreadAttributeList(list, 1, 0, &size))
            return;
        m_list = list;
        if (!UpdateProcThreadAttribute(m_list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &m_handle, sizeof(m_handle),
                                       nullptr, nullptr))
        {
            DeleteProcThreadAttributeList(m_list);
            m_list = nullptr;
        }
    }
    ~InheritOnly()
    {
        if (m_list != nullptr)
            DeleteProcThreadAttributeList(m_list);
    }
    InheritOnly(const InheritOnly&) = delete;
    InheritOnly& operator=(const InheritOnly&) = delete;
    // Null when the platform cannot restrict inheritance.
    LPPROC_THREAD_ATTRIBUTE_LIST Get() const { return m_list; }

private:
    HANDLE m_handle;
    std::vector<char> m_storage;
    LPPROC_THREAD_ATTRIBUTE_LIST m_list = nullptr;
};

}  // namespace

CKivUpdateFetchProcess::CKivUpdateFetchProcess(std::wstring program, const CKivWebAddress& address, DWORD timeoutMs)
    : m_program(std::move(program)),
      m_address(address.Canonical()),
      m_timeoutMs(timeoutMs),
      m_progress(CreateEventW(nullptr, FALSE, FALSE, nullptr))
{
}

CKivUpdateFetchProcess::~CKivUpdateFetchProcess()
{
    if (m_child.IsValid())
        TerminateProcess(m_child.Get(), 1);
}

bool CKivUpdateFetchProcess::Launch(const std::shared_ptr<CKivUpdateFetchProcess>& fetch)
{
    if (fetch->m_progress == nullptr || fetch->m_address.empty() || !fetch->Start())
        return false;
    // The reader ends when the child's output does, which Abort ends; its
    // handle is not needed.
    const CKivThreadHandle thread(CKivSharedThread::Start(fetch, &ReaderMain));
    if (!thread)
    {
        fetch->Abort();
        return false;
    }
    return true;
}

void CKivUpdateFetchProcess::ReaderMain(CKivUpdateFetchProcess& fetch)
{
    try
    {
        fetch.Read();
    }
    catch (...)
    {
        fetch.Finish(CKivUpdateFetch::Result::kReadFailed, false, std::vector<char>());
    }
}

bool CKivUpdateFetchProcess::Start()
{
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0))
        return false;
    m_output.Reset(readEnd);
    // Closed here once the child has its own: the output ends with the child.
    const CKivFileHandle childEnd(writeEnd);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    std::wstring command = L"\"" + m_program + L"\" " + kFetchSwitch + L" " + std::to_wstring(m_timeoutMs) + L" \"" +
                           m_address + L"\"";
    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(L'\0');

    STARTUPINFOEXW startup = {};
    startup.StartupInfo.cb = sizeof(startup);
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdOutput = writeEnd;
    const InheritOnly only(writeEnd);
    DWORD flags = CREATE_SUSPENDED | CREATE_NO_WINDOW;
    if (only.Get() != nullptr)
    {
        startup.lpAttributeList = only.Get();
        flags |= EXTENDED_STARTUPINFO_PRESENT;
    }
    else
    {
        startup.StartupInfo.cb = sizeof(startup.StartupInfo);
    }
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(m_program.c_str(), line.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr,
                        &startup.StartupInfo, &started))
        return false;
    m_child.Reset(started.hProcess);
    const CKivThreadHandle thread(started.hThread);

    // The child ends with the program's last handle to the job, and cannot
    // grow past the memory bound where the platform enforces it (elsewhere
    // Watch does).
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (job != nullptr)
    {
        m_job.Reset(job);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_PROCESS_MEMORY;
        limits.ProcessMemoryLimit = kMaxChildMemory;
        SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
        AssignProcessToJobObject(job, started.hProcess);
    }
    ResumeThread(thread);
    return true;
}

void CKivUpdateFetchProcess::Read()
{
    for (;;)
    {
        char tag = 0;
        if (!ReadFully(m_output, &tag, 1))
            break;
        if (tag == kHeadTag)
        {
            ULONGLONG announced = 0;
            if (!GetNumber(m_output, announced, 8))
                break;
            {
                std::lock_guard<std::mutex> lock(m_lock);
                m_headKnown = true;
                m_announced = announced;
            }
            SetEvent(m_progress);
            continue;
        }
        ULONGLONG result = 0;
        ULONGLONG secure = 0;
        ULONGLONG size = 0;
        if (tag != kResultTag || !GetNumber(m_output, result, 1) || !GetNumber(m_output, secure, 1) ||
            !GetNumber(m_output, size, 4) || size > CKivUpdateFetch::kMaxBodyBytes ||
            result > static_cast<ULONGLONG>(CKivUpdateFetch::Result::kAborted))
            break;
        std::vector<char> body(static_cast<size_t>(size));
        if (size > 0 && !ReadFully(m_output, body.data(), body.size()))
            break;
        Finish(static_cast<CKivUpdateFetch::Result>(result), secure != 0, std::move(body));
        return;
    }
    // The child ended without a result: killed, or it failed.
    Finish(CKivUpdateFetch::Result::kRequestFailed, false, std::vector<char>());
}

void CKivUpdateFetchProcess::Finish(CKivUpdateFetch::Result result, bool secure, std::vector<char> body)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_result != CKivUpdateFetch::Result::kPending)
            return;
        m_result = result;
        m_secure = secure;
        if (result == CKivUpdateFetch::Result::kDocument)
            m_body = std::move(body);
    }
    SetEvent(m_progress);
}

void CKivUpdateFetchProcess::Abort()
{
    Finish(CKivUpdateFetch::Result::kAborted, false, std::vector<char>());
    if (m_child.IsValid())
        TerminateProcess(m_child.Get(), 1);
}

bool CKivUpdateFetchProcess::Watch()
{
    if (ChildMemory() <= kMaxChildMemory)
        return false;
    Finish(CKivUpdateFetch::Result::kBadReply, false, std::vector<char>());
    TerminateProcess(m_child.Get(), 1);
    return true;
}

SIZE_T CKivUpdateFetchProcess::ChildMemory() const
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!m_child.IsValid() || !GetProcessMemoryInfo(m_child.Get(), &counters, sizeof(counters)))
        return 0;
    return counters.PagefileUsage > counters.WorkingSetSize ? counters.PagefileUsage : counters.WorkingSetSize;
}

bool CKivUpdateFetchProcess::Head(ULONGLONG& announced) const
{
    std::lock_guard<std::mutex> lock(m_lock);
    announced = m_announced;
    return m_headKnown;
}

CKivUpdateFetch::Result CKivUpdateFetchProcess::Outcome(std::vector<char>& body, bool& secure) const
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_result == CKivUpdateFetch::Result::kDocument)
        body = m_body;
    secure = m_secure;
    return m_result;
}

bool CKivUpdateFetchProcess::ServeIfAsked(const std::vector<std::wstring>& arguments)
{
    if (arguments.size() != 3 || arguments[0] != kFetchSwitch)
        return false;
    wchar_t* end = nullptr;
    const unsigned long timeoutMs = std::wcstoul(arguments[1].c_str(), &end, 10);
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    CKivWebAddress address;
    std::vector<char> body;
    bool secure = false;
    CKivUpdateFetch::Result result = CKivUpdateFetch::Result::kRequestFailed;
    if (end != nullptr && *end == L'\0' && address.Parse(arguments[2]))
    {
        const CKivUpdateFetch fetch(address, static_cast<DWORD>(timeoutMs));
        result = fetch.Run(
            [out](ULONGLONG announced) {
                std::vector<char> record(1, kHeadTag);
                PutNumber(record, announced, 8);
                WriteAll(out, record);
            },
            body, secure);
    }
    if (result != CKivUpdateFetch::Result::kDocument)
        body.clear();
    std::vector<char> record(1, kResultTag);
    PutNumber(record, static_cast<ULONGLONG>(result), 1);
    PutNumber(record, secure ? 1 : 0, 1);
    PutNumber(record, body.size(), 4);
    record.insert(record.end(), body.begin(), body.end());
    WriteAll(out, record);
    return true;
}

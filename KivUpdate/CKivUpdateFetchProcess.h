#pragma once
#include <windows.h>
#include <memory>
#include <mutex>
#include <string>
#include <vector>
#include "CKivFileHandle.h"
#include "CKivUpdateFetch.h"

// A fetch (CKivUpdateFetch) run in a child process of the program, so that
// it can be ended whatever WinINet is doing: the child is started as
// "KivUpdate.exe --fetch TIMEOUT ADDRESS", writes what it learns to its
// standard output, and is killed by Abort, by the end of its job object
// when the program ends, and by Watch when it holds more than
// kMaxChildMemory (a server flooding it with header lines).
//
// What the child writes: 'H' and the announced size (8 bytes) once the head
// has come; then 'R', the result, the secure flag, the body's size (4 bytes)
// and the body. All numbers little-endian.
class CKivUpdateFetchProcess
{
public:
    static constexpr SIZE_T kMaxChildMemory = 96u * 1024 * 1024;
    static const wchar_t* const kFetchSwitch;

    // program: the program file to start (KivUpdate.exe).
    CKivUpdateFetchProcess(std::wstring program, const CKivWebAddress& address, DWORD timeoutMs);
    ~CKivUpdateFetchProcess();
    CKivUpdateFetchProcess(const CKivUpdateFetchProcess&) = delete;
    CKivUpdateFetchProcess& operator=(const CKivUpdateFetchProcess&) = delete;

    // Starts the child and a thread that reads it, sharing the object;
    // false when either could not start.
    static bool Launch(const std::shared_ptr<CKivUpdateFetchProcess>& fetch);
    // Ends the child; the result becomes kAborted unless there was one.
    void Abort();
    // Ends a child that holds too much memory (the result is then kBadReply);
    // true when it did.
    bool Watch();

    // Set (auto-reset) when the head has arrived and when the fetch is over.
    HANDLE Progress() const { return m_progress; }
    // True once the head has arrived; the announced size, 0 when none.
    bool Head(ULONGLONG& announced) const;
    // kPending until the fetch is over; then the body (for kDocument) and
    // whether every step went over https.
    CKivUpdateFetch::Result Outcome(std::vector<char>& body, bool& secure) const;

    // The child's side: when the command line asks for a fetch, runs it,
    // writes to standard output and returns true (the program then ends).
    static bool ServeIfAsked(const std::vector<std::wstring>& arguments);

private:
    static void ReaderMain(CKivUpdateFetchProcess& fetch);
    bool Start();
    void Read();
    void Finish(CKivUpdateFetch::Result result, bool secure, std::vector<char> body);
    // The child's memory in bytes, 0 when unknown.
    SIZE_T ChildMemory() const;

    const std::wstring m_program;
    const std::wstring m_address;
    const DWORD m_timeoutMs;
    CKivKernelHandle m_progress;
    CKivFileHandle m_child;
    CKivFileHandle m_job;
    CKivFileHandle m_output;
    mutable std::mutex m_lock;
    bool m_headKnown = false;
    ULONGLONG m_announced = 0;
    CKivUpdateFetch::Result m_result = CKivUpdateFetch::Result::kPending;
    bool m_secure = false;
    std::vector<char> m_body;
};

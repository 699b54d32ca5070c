#pragma once
// KivUpdate.exe copied into a test installation folder and started there as
// the builder starts it (by full path, no argument); its dialog is found and
// read from outside. Shared by the update program's tests.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>
#include <doctest.h>
#include "CKivHandle.h"
#include "CKivScreenShot.h"
#include "KivTestProcess.h"
#include "KivTestSupport.h"
#include "KivUpdateRes.h"
#include "KivUpdateTestFolder.h"
#include <memory>
#include <string>
#include <utility>

namespace kivtest {

// An environment variable of this process (and so of the programs it
// starts) set for the object's lifetime.
class KivScopedEnvironment
{
public:
    KivScopedEnvironment(const wchar_t* name, const std::wstring& value) : m_name(name)
    {
        wchar_t old[256] = {};
        m_had = GetEnvironmentVariableW(name, old, 256) > 0;
        m_old = old;
        SetEnvironmentVariableW(name, value.empty() ? nullptr : value.c_str());
    }
    ~KivScopedEnvironment() { SetEnvironmentVariableW(m_name.c_str(), m_had ? m_old.c_str() : nullptr); }
    KivScopedEnvironment(const KivScopedEnvironment&) = delete;
    KivScopedEnvironment& operator=(const KivScopedEnvironment&) = delete;

private:
    std::wstring m_name;
    std::wstring m_old;
    bool m_had = false;
};

class KivUpdateProgram
{
public:
    static constexpr const wchar_t* kChecking = L"检察更新 ...";

    // The program with the shipped black skin beside it unless told otherwise.
    explicit KivUpdateProgram(const KivUpdateTestFolder& folder, bool withSkin = true)
    {
        const std::wstring exe = folder.Path() + L"\\KivUpdate.exe";
        REQUIRE(CopyFileW((BinaryDir() + L"\\KivUpdate.exe").c_str(), exe.c_str(), FALSE));
        if (withSkin)
            REQUIRE(CopyFileW((BinaryDir() + L"\\skin\\black.kiv").c_str(), (folder.Skin() + L"\\black.kiv").c_str(),
                              FALSE));
        m_started = GetTickCount64();
        m_process = std::make_unique<TestProcess>(L"\"" + exe + L"\"", folder.Path().c_str());
        REQUIRE(m_process->Started());
        PumpUntil([&] { return (m_dialog = CKivScreenShot::FindWindowOf(m_process->Id(), L"#32770", L"更新")) != nullptr; },
                  20000);
        REQUIRE(m_dialog != nullptr);
    }
    KivUpdateProgram(const KivUpdateProgram&) = delete;
    KivUpdateProgram& operator=(const KivUpdateProgram&) = delete;

    HWND Dialog() const { return m_dialog; }
    DWORD Id() const { return m_process->Id(); }
    std::wstring Text(int id = IDC_UPDATE_TEXT) const
    {
        wchar_t text[2048] = {};
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(GetDlgItem(m_dialog, id), WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_BLOCK,
                            5000, &ignored);
        return text;
    }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(m_dialog, id)) != FALSE; }
    // The text once the check has ended (the checking text when it did not
    // end within timeoutMs).
    std::wstring Outcome(DWORD timeoutMs = 30000)
    {
        std::wstring text;
        PumpUntil([&] { return (text = Text()) != kChecking; }, timeoutMs);
        m_ended = GetTickCount64();
        return text;
    }
    // The first line of the outcome: the result itself, without what it means.
    std::wstring OutcomeLine(DWORD timeoutMs = 30000)
    {
        const std::wstring text = Outcome(timeoutMs);
        return text.substr(0, text.find(L"\r\n"));
    }
    // Milliseconds from the program's start to the end of the last Outcome.
    ULONGLONG OutcomeMs() const { return m_ended - m_started; }
    void Click(int id) const
    {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(GetDlgItem(m_dialog, id), BM_CLICK, 0, 0, SMTO_BLOCK, 5000, &ignored);
    }
    void Shoot(const wchar_t* name) const
    {
        const std::wstring folder = BinaryDir() + L"\\screenshots";
        CreateDirectoryW(folder.c_str(), nullptr);
        CHECK(CKivScreenShot::Shoot(m_dialog, folder + L"\\" + name + L".bmp"));
    }
    // The most memory the program has held, in bytes (0 when unknown).
    SIZE_T PeakMemory() const
    {
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof(counters);
        if (!GetProcessMemoryInfo(m_process->Handle(), &counters, sizeof(counters)))
            return 0;
        return counters.PeakPagefileUsage > counters.PeakWorkingSetSize ? counters.PeakPagefileUsage
                                                                        : counters.PeakWorkingSetSize;
    }
    // Processes the program has started that are still running.
    int Children() const
    {
        const CKivHandle<KivFileHandleTraits> snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        if (!snapshot)
            return -1;
        PROCESSENTRY32W entry = {};
        entry.dwSize = sizeof(entry);
        int count = 0;
        for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
            count += entry.th32ParentProcessID == m_process->Id();
        return count;
    }
    // Ends the program with its close button; the exit code, or -1 when it
    // did not end within timeoutMs.
    long Close(DWORD timeoutMs = 10000) const
    {
        PostMessageW(m_dialog, WM_COMMAND, MAKEWPARAM(IDC_CLOSE_UPDATE, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(m_dialog, IDC_CLOSE_UPDATE)));
        return m_process->ExitCode(timeoutMs);
    }
    // Closes the program and measures how long it took to end; -1 when it
    // did not end within timeoutMs.
    long CloseMs(DWORD timeoutMs = 10000) const
    {
        const ULONGLONG before = GetTickCount64();
        if (Close(timeoutMs) != 0)
            return -1;
        return static_cast<long>(GetTickCount64() - before);
    }
    // Waits for a second dialog of the program (a message box, the About
    // box), which must make the main one modal-disabled, and closes it with
    // OK; its title, or "-" when none came or it did not go.
    std::wstring DismissOtherDialog() const
    {
        HWND other = nullptr;
        if (!PumpUntil([&] { return (other = OtherDialog()) != nullptr; }, 10000))
            return L"-";
        CHECK_FALSE(IsWindowEnabled(m_dialog));
        wchar_t title[64] = {};
        GetWindowTextW(other, title, 64);
        PostMessageW(other, WM_COMMAND, IDOK, 0);
        if (!PumpUntil([&] { return !IsWindow(other); }, 10000))
            return L"-";
        return title;
    }

private:
    // A visible dialog of the program other than the main one.
    HWND OtherDialog() const
    {
        return kivtest::FindProcessWindowIf(m_process->Id(), [this](HWND window) {
            return window != m_dialog && kivtest::WindowClass(window) == L"#32770";
        });
    }

    std::unique_ptr<TestProcess> m_process;
    HWND m_dialog = nullptr;
    ULONGLONG m_started = 0;
    ULONGLONG m_ended = 0;
};

}  // namespace kivtest

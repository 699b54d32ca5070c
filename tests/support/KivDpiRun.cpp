#include "KivDpiRun.h"
#include <cstdlib>
#include "CKivHandle.h"
#include "CKivProcess.h"
#include <string>

namespace kivtest {

namespace {

const wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
const wchar_t kLogPixels[] = L"LogPixels";
const wchar_t kDpiVariable[] = L"KIV_TEST_DPI";
const wchar_t kDoneVariable[] = L"KIV_TEST_DPI_DONE";

// Sets LogPixels for its lifetime; the old value (or its absence) comes back.
class LogPixelsOverride
{
public:
    explicit LogPixelsOverride(DWORD dpi)
    {
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                            m_key.Receive(), nullptr) != ERROR_SUCCESS)
        {
            m_key.Release();
            return;
        }
        DWORD size = sizeof(m_old);
        m_hadOld = RegQueryValueExW(m_key, kLogPixels, nullptr, &m_oldType, reinterpret_cast<BYTE*>(&m_old), &size) ==
                       ERROR_SUCCESS &&
                   size == sizeof(m_old);
        m_set = RegSetValueExW(m_key, kLogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi)) ==
                ERROR_SUCCESS;
    }
    ~LogPixelsOverride()
    {
        if (!m_key)
            return;
        if (m_hadOld)
            RegSetValueExW(m_key, kLogPixels, 0, m_oldType, reinterpret_cast<const BYTE*>(&m_old), sizeof(m_old));
        else
            RegDeleteValueW(m_key, kLogPixels);
    }
    LogPixelsOverride(const LogPixelsOverride&) = delete;
    LogPixelsOverride& operator=(const LogPixelsOverride&) = delete;
    bool Set() const { return m_set; }

private:
    CKivRegKey m_key;
    DWORD m_old = 0;
    DWORD m_oldType = REG_DWORD;
    bool m_hadOld = false;
    bool m_set = false;
};

}  // namespace

int RequestedDpi()
{
    wchar_t value[16] = {};
    if (GetEnvironmentVariableW(kDpiVariable, value, 16) == 0)
        return 0;
    return _wtoi(value);
}

void ConfirmDpiRun()
{
    wchar_t name[64] = {};
    if (GetEnvironmentVariableW(kDoneVariable, name, 64) == 0)
        return;
    const CKivKernelHandle done(OpenEventW(EVENT_MODIFY_STATE, FALSE, name));
    if (done)
        SetEvent(done);
}

int ExpectScaled(int value, int dpi)
{
    const int product = value * dpi;
    return product >= 0 ? (product + 48) / 96 : -((-product + 48) / 96);
}

long RunAtDpi(int dpi, const char* testCase, DWORD timeoutMs)
{
    wchar_t self[MAX_PATH] = {};
    if (GetModuleFileNameW(nullptr, self, MAX_PATH) == 0 || testCase == nullptr)
        return -1;
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --no-skip --test-case=\"";
    for (const char* c = testCase; *c; ++c)
        commandLine += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    commandLine += L"\"";

    LogPixelsOverride logPixels(static_cast<DWORD>(dpi));
    if (!logPixels.Set())
        return -1;
    const std::wstring doneName = L"kiv-dpi-run-" + std::to_wstring(GetCurrentProcessId());
    const CKivKernelHandle done(CreateEventW(nullptr, TRUE, FALSE, doneName.c_str()));
    if (!done)
        return -1;
    ResetEvent(done);
    SetEnvironmentVariableW(kDpiVariable, std::to_wstring(dpi).c_str());
    SetEnvironmentVariableW(kDoneVariable, doneName.c_str());
    // The child writes its report into our output.
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION started = {};
    const BOOL ok = CreateProcessW(self, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                   &started);
    SetEnvironmentVariableW(kDpiVariable, nullptr);
    SetEnvironmentVariableW(kDoneVariable, nullptr);
    if (!ok)
        return -1;
    const CKivProcess process(started);
    long result = -1;
    if (WaitForSingleObject(process.Process(), timeoutMs) == WAIT_OBJECT_0)
    {
        DWORD code = 0;
        if (GetExitCodeProcess(process.Process(), &code))
            result = static_cast<long>(code);
    }
    else
    {
        TerminateProcess(process.Process(), 1);
        WaitForSingleObject(process.Process(), 5000);
    }
    // A child that passed without running its case proves nothing.
    if (result == 0 && WaitForSingleObject(done, 0) != WAIT_OBJECT_0)
        result = -2;
    return result;
}

}  // namespace kivtest

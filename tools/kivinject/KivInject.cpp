// KivInject.dll: loaded into a program by kivinject before its first
// instruction runs, on the program's main thread. It waits for the first
// window that thread creates (a CBT hook sees it before WM_CREATE), then
// starts the engine there, so that every window of the thread is skinned
// exactly as in a host that called KivRun itself.
//   KIV_INJECT_SKIN  the skin file to load (required)
//   KIV_INJECT_LOG   a file that receives one line with the start-up results
#include <windows.h>
#include "CKivFileHandle.h"
#include <cstdio>
#include <string>

namespace {

HMODULE g_self = nullptr;
HHOOK g_cbt = nullptr;

std::wstring Environment(const wchar_t* name)
{
    wchar_t value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(value, length) : std::wstring();
}

void Log(const std::wstring& line)
{
    const std::wstring path = Environment(L"KIV_INJECT_LOG");
    if (path.empty())
        return;
    const CKivFileHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return;
    const std::string text(line.begin(), line.end());
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    WriteFile(file, "\n", 1, &written, nullptr);
}

// KivAPI.dll lies beside this module; it is loaded by full path so that the
// program's own search order plays no part.
void StartEngine()
{
    wchar_t own[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(g_self, own, MAX_PATH);
    std::wstring api(own, length);
    api = api.substr(0, api.find_last_of(L"\\/") + 1) + L"KivAPI.dll";
    HMODULE module = LoadLibraryW(api.c_str());
    if (module == nullptr)
    {
        Log(L"KivAPI.dll not loaded");
        return;
    }
    using Initialize = int(WINAPI*)();
    using LoadSkin = BOOL(WINAPI*)(const wchar_t*);
    using Run = BOOL(WINAPI*)();
    auto initialize = reinterpret_cast<Initialize>(reinterpret_cast<void*>(GetProcAddress(module, "KivInitialize")));
    auto loadSkin = reinterpret_cast<LoadSkin>(reinterpret_cast<void*>(GetProcAddress(module, "KivLoadSkin")));
    auto run = reinterpret_cast<Run>(reinterpret_cast<void*>(GetProcAddress(module, "KivRun")));
    if (!initialize || !loadSkin || !run)
    {
        Log(L"KivAPI.dll lacks its exports");
        return;
    }
    initialize();
    const BOOL loaded = loadSkin(Environment(L"KIV_INJECT_SKIN").c_str());
    const BOOL running = loaded ? run() : FALSE;
    Log(L"KivLoadSkin=" + std::to_wstring(loaded) + L" KivRun=" + std::to_wstring(running) +
        L" thread=" + std::to_wstring(GetCurrentThreadId()));
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && g_cbt != nullptr)
    {
        UnhookWindowsHookEx(g_cbt);
        g_cbt = nullptr;
        StartEngine();
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
    {
        g_self = instance;
        DisableThreadLibraryCalls(instance);
        // Only a thread hook is set here: the engine itself starts outside
        // the loader lock, at the thread's first window.
        if (!Environment(L"KIV_INJECT_SKIN").empty())
            g_cbt = SetWindowsHookExW(WH_CBT, &CbtProc, nullptr, GetCurrentThreadId());
    }
    return TRUE;
}

// kivinject: starts a program with the skin engine started on its UI thread
// before its first window, the way a host that calls KivRun would, and
// reports (and optionally pictures) its first visible top-level window.
//   kivinject [--skin FILE.kiv] [--class NAME] [--title TEXT] [--shot FILE.bmp]
//             [--close] [--timeout MS] PROGRAM [ARGS...]
// Without --skin the program runs unskinned, for comparison. With --close the
// window gets WM_CLOSE afterwards and the program's exit code is reported.
// Exit code 0 when the window appeared (and, with --close, the program ended).
#include <windows.h>
#include <cstdio>
#include <string>
#include <vector>
#include "CKivFileHandle.h"
#include "CKivApp.h"
#include "CKivInjectedProcess.h"
#include "CKivScreenShot.h"

namespace {

struct Options
{
    std::wstring skin, className, title, shot, command;
    bool close = false;
    DWORD timeoutMs = 20000;
};

std::wstring Quote(const std::wstring& argument)
{
    return argument.find_first_of(L" \t\"") == std::wstring::npos && !argument.empty() ? argument
                                                                                       : L"\"" + argument + L"\"";
}

bool Parse(const std::vector<std::wstring>& arguments, Options& options)
{
    size_t i = 1;
    for (; i < arguments.size(); ++i)
    {
        const std::wstring& a = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (a == L"--skin" && hasValue)
            options.skin = arguments[++i];
        else if (a == L"--class" && hasValue)
            options.className = arguments[++i];
        else if (a == L"--title" && hasValue)
            options.title = arguments[++i];
        else if (a == L"--shot" && hasValue)
            options.shot = arguments[++i];
        else if (a == L"--timeout" && hasValue)
            options.timeoutMs = static_cast<DWORD>(_wtoi(arguments[++i].c_str()));
        else if (a == L"--close")
            options.close = true;
        else if (a.rfind(L"--", 0) == 0)
            return false;
        else
            break;
    }
    for (size_t first = i; i < arguments.size(); ++i)
        options.command += (i == first ? L"" : L" ") + Quote(arguments[i]);
    return !options.command.empty();
}

std::wstring FullPath(const std::wstring& path)
{
    wchar_t full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::wstring(full, length) : path;
}

std::wstring BesideThisProgram(const wchar_t* name)
{
    wchar_t own[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, own, MAX_PATH);
    std::wstring path(own, length);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
}

void Report(HWND window)
{
    wchar_t className[128] = {}, title[256] = {};
    char titleA[256] = {};
    GetClassNameW(window, className, 128);
    GetWindowTextW(window, title, 256);
    GetWindowTextA(window, titleA, 256);
    RECT frame = {}, client = {};
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    HMENU menu = GetMenu(window);
    wprintf(L"window class=\"%ls\" title=\"%ls\" titleA-bytes=%d unicode=%d\n", className, title,
            static_cast<int>(strlen(titleA)), IsWindowUnicode(window) ? 1 : 0);
    wprintf(L"window rect=%ld,%ld,%ld,%ld client-origin=%ld,%ld client-size=%ldx%ld menu-items=%d style=%08lx\n",
            frame.left, frame.top, frame.right, frame.bottom, origin.x - frame.left, origin.y - frame.top,
            client.right, client.bottom, menu ? GetMenuItemCount(menu) : -1,
            static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)));
}

void PrintLog(const std::wstring& path)
{
    const CKivFileHandle file(CKivFileHandle::OpenRead(path.c_str()));
    if (!file.IsValid())
    {
        wprintf(L"engine: no start-up line (the program created no window on its main thread?)\n");
        return;
    }
    char text[512] = {};
    DWORD read = 0;
    ReadFile(file, text, sizeof(text) - 1, &read, nullptr);
    wprintf(L"engine: %hs", text);
}

}  // namespace

int main()
{
    Options options;
    if (!Parse(CKivApp::SplitCommandLine(GetCommandLineW()), options))
    {
        wprintf(L"usage: kivinject [--skin FILE.kiv] [--class NAME] [--title TEXT] [--shot FILE.bmp] "
                L"[--close] [--timeout MS] PROGRAM [ARGS...]\n");
        return 2;
    }
    std::wstring dll, log;
    if (!options.skin.empty())
    {
        dll = BesideThisProgram(L"KivInject.dll");
        wchar_t folder[MAX_PATH] = {}, name[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, folder);
        GetTempFileNameW(folder, L"kiv", 0, name);
        log = name;
        DeleteFileW(log.c_str());
        SetEnvironmentVariableW(L"KIV_INJECT_SKIN", FullPath(options.skin).c_str());
        SetEnvironmentVariableW(L"KIV_INJECT_LOG", log.c_str());
    }
    CKivInjectedProcess program;
    if (!program.Start(options.command, dll))
    {
        wprintf(L"could not start %ls\n", options.command.c_str());
        return 1;
    }
    HWND window = nullptr;
    const bool shown = CKivScreenShot::WaitFor(
        [&] {
            window = CKivScreenShot::FindWindowOf(program.Id(), options.className.empty() ? nullptr : options.className.c_str(),
                                                  options.title.empty() ? nullptr : options.title.c_str());
            return window != nullptr;
        },
        options.timeoutMs);
    if (!log.empty())
        PrintLog(log);
    if (!shown)
    {
        wprintf(L"no window appeared within %lu ms\n", static_cast<unsigned long>(options.timeoutMs));
        program.Terminate();
        return 1;
    }
    WaitForInputIdle(program.Process(), 5000);
    CKivScreenShot::Settle(window);
    Report(window);
    bool ok = options.shot.empty() || CKivScreenShot::Shoot(window, options.shot);
    if (options.close)
    {
        PostMessageW(window, WM_CLOSE, 0, 0);
        DWORD exitCode = 0;
        if (program.WaitForExit(10000, exitCode))
        {
            wprintf(L"exit code %lu\n", static_cast<unsigned long>(exitCode));
        }
        else
        {
            wprintf(L"the program did not end after WM_CLOSE\n");
            program.Terminate();
            ok = false;
        }
    }
    if (!log.empty())
        DeleteFileW(log.c_str());
    return ok ? 0 : 1;
}

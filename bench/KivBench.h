#pragma once
// Clock, message pump, skin path and test frame shared by the benchmark programs.
#include <windows.h>
#include <string>

namespace kivbench {

// Microseconds from the performance counter.
inline double Now()
{
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

// Dispatches every pending message of this thread.
inline void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The skin file named on the command line, else default.kiv beside the program.
inline std::wstring SkinPath(int argc, char** argv)
{
    wchar_t path[MAX_PATH] = {};
    if (argc > 1)
    {
        MultiByteToWideChar(CP_ACP, 0, argv[1], -1, path, MAX_PATH);
        return path;
    }
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L"\\/") + 1);
    return folder + L"default.kiv";
}

// An overlapping window of a plain class (DefWindowProc), to be skinned or not.
inline HWND CreateFrameWindow(const wchar_t* title, int x, int y, int width, int height, HMENU menu = nullptr)
{
    static bool registered = false;
    if (!registered)
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = L"KivBenchFrame";
        RegisterClassW(&wc);
        registered = true;
    }
    return CreateWindowExW(0, L"KivBenchFrame", title, WS_OVERLAPPEDWINDOW, x, y, width, height, nullptr, menu,
                           GetModuleHandleW(nullptr), nullptr);
}

}  // namespace kivbench

#pragma once
// Clock, message pump and test frame shared by the benchmark programs.
#include <windows.h>

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

// A shown-nowhere overlapping window of a plain class (DefWindowProc), to be skinned or not.
inline HWND CreateFrameWindow(const wchar_t* title, int x, int y, int width, int height)
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
    return CreateWindowExW(0, L"KivBenchFrame", title, WS_OVERLAPPEDWINDOW, x, y, width, height, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

}  // namespace kivbench

// Helpers of the programs that drive other programs from outside and take
// pictures of their windows (the preview screenshots, kivinject).
#pragma once
#include <windows.h>
#include <functional>
#include <string>

class CKivScreenShot
{
public:
    // Polls the condition every 20 ms until it holds or timeoutMs passed.
    static bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 15000);
    // The first visible top-level window of the process with the given class
    // and title (null or empty: any).
    static HWND FindWindowOf(DWORD process, const wchar_t* className, const wchar_t* title);
    // Lets the window's thread handle what was posted to it, then repaints it fully.
    static void Settle(HWND window);
    // Saves a screen rectangle as a 24-bit bottom-up BMP file.
    static bool SaveScreenArea(const std::wstring& path, const RECT& area);
    // Settle, then save the window's rectangle; prints the outcome.
    static bool Shoot(HWND window, const std::wstring& path);
};

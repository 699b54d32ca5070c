#include "KivTestInput.h"

namespace kivtest {

HWND CreateForegroundHost(const wchar_t* className, WNDPROC proc, COLORREF background, const wchar_t* title,
                          int width, int height)
{
    WNDCLASSW wc = {};
    if (!GetClassInfoW(GetModuleHandleW(nullptr), className, &wc))
    {
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = className;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = CreateSolidBrush(background);
        RegisterClassW(&wc);
    }
    const HWND window = CreateWindowExW(0, className, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, width, height,
                                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(window);
    return window;
}

COLORREF PixelUnder(HWND host, HWND control, int x, int y)
{
    POINT p = {x, y};
    MapWindowPoints(control, host, &p, 1);
    const HDC dc = GetDC(host);
    const COLORREF colour = GetPixel(dc, p.x, p.y);
    ReleaseDC(host, dc);
    return colour;
}

void SnapshotUnder(HWND host, HWND control, POINT from, Canvas& into)
{
    MapWindowPoints(control, host, &from, 1);
    const HDC dc = GetDC(host);
    BitBlt(into.DC(), 0, 0, into.Width(), into.Height(), dc, from.x, from.y, SRCCOPY);
    ReleaseDC(host, dc);
}

void MoveCursorTo(HWND window, int x, int y)
{
    POINT p = {x, y};
    ClientToScreen(window, &p);
    SetCursorPos(p.x, p.y);
}

void SendMouseTo(HWND window, int x, int y)
{
    POINT p = {x, y};
    ClientToScreen(window, &p);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(p.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(p.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(input));
}

void SendLeftButton(bool down)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof(input));
}

void SendKey(WORD virtualKey)
{
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = virtualKey;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

}  // namespace kivtest

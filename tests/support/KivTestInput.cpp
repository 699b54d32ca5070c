#include "KivTestInput.h"
#include <vector>

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

RECT InkBounds(HWND window, bool skipGlyph)
{
    RECT ink = {};
    RECT client = {};
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0)
        return ink;
    Canvas canvas(client.right, client.bottom, 0);
    const HDC dc = GetDC(window);
    BitBlt(canvas.DC(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
    const COLORREF background = canvas.Pixel(client.right - 1, client.bottom - 1);
    std::vector<bool> column(static_cast<size_t>(client.right), false);
    for (int x = 0; x < client.right; ++x)
        for (int y = 0; y < client.bottom; ++y)
            if (canvas.Pixel(x, y) != background)
                column[static_cast<size_t>(x)] = true;
    int from = 0;
    if (skipGlyph)
    {
        while (from < client.right && !column[static_cast<size_t>(from)])
            ++from;
        while (from < client.right && column[static_cast<size_t>(from)])
            ++from;
    }
    bool any = false;
    for (int x = from; x < client.right; ++x)
        for (int y = 0; y < client.bottom; ++y)
        {
            if (canvas.Pixel(x, y) == background)
                continue;
            if (!any)
                ink = RECT{x, y, x + 1, y + 1};
            any = true;
            ink.left = x < ink.left ? x : ink.left;
            ink.top = y < ink.top ? y : ink.top;
            ink.right = x + 1 > ink.right ? x + 1 : ink.right;
            ink.bottom = y + 1 > ink.bottom ? y + 1 : ink.bottom;
        }
    return ink;
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

}  // namespace kivtest

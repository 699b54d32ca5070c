#include "KivTestInput.h"
#include "CKivClientDC.h"

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

namespace {

// Copies area of the window's client area (as on the screen) into canvas.
void CopyClient(HWND window, const RECT& area, Canvas& canvas)
{
    const CKivClientDC dc(window);
    BitBlt(canvas.DC(), 0, 0, area.right - area.left, area.bottom - area.top, dc, area.left, area.top, SRCCOPY);
}

}  // namespace

COLORREF PixelUnder(HWND host, HWND control, int x, int y)
{
    POINT p = {x, y};
    MapWindowPoints(control, host, &p, 1);
    const CKivClientDC dc(host);
    return GetPixel(dc, p.x, p.y);
}

void SnapshotUnder(HWND host, HWND control, POINT from, Canvas& into)
{
    MapWindowPoints(control, host, &from, 1);
    const CKivClientDC dc(host);
    BitBlt(into.DC(), 0, 0, into.Width(), into.Height(), dc, from.x, from.y, SRCCOPY);
}

RECT InkBounds(HWND window, bool skipGlyph)
{
    RECT client = {};
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0)
        return RECT{};
    if (!skipGlyph)
        return InkBoundsIn(window, client);
    // The glyph is the first run of columns with ink; the text starts after
    // the gap behind it.
    Canvas canvas(client.right, client.bottom, 0);
    CopyClient(window, RECT{0, 0, client.right, client.bottom}, canvas);
    const COLORREF background = canvas.Pixel(client.right - 1, client.bottom - 1);
    auto inked = [&](int x) {
        for (int y = 0; y < client.bottom; ++y)
            if (canvas.Pixel(x, y) != background)
                return true;
        return false;
    };
    int from = 0;
    while (from < client.right && !inked(from))
        ++from;
    while (from < client.right && inked(from))
        ++from;
    return InkBoundsIn(window, RECT{from, 0, client.right, client.bottom});
}

RECT InkBoundsIn(HWND window, const RECT& area)
{
    RECT ink = {};
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return ink;
    Canvas canvas(width, height, 0);
    CopyClient(window, area, canvas);
    const COLORREF background = canvas.Pixel(width - 1, height - 1);
    bool any = false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            if (canvas.Pixel(x, y) == background)
                continue;
            const LONG cx = area.left + x;
            const LONG cy = area.top + y;
            if (!any)
                ink = RECT{cx, cy, cx + 1, cy + 1};
            any = true;
            ink.left = cx < ink.left ? cx : ink.left;
            ink.top = cy < ink.top ? cy : ink.top;
            ink.right = cx + 1 > ink.right ? cx + 1 : ink.right;
            ink.bottom = cy + 1 > ink.bottom ? cy + 1 : ink.bottom;
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
    SendMouseToScreen(p);
}

void SendMouseToScreen(POINT screen)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
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

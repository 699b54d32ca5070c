#include "CKivDpiScale.h"

namespace {

// Newer user32 exports looked up at run time: older systems lack them.
typedef UINT(WINAPI* GetDpiForWindowFn)(HWND);
typedef int(WINAPI* GetSystemMetricsForDpiFn)(int, UINT);
typedef BOOL(WINAPI* AdjustWindowRectExForDpiFn)(LPRECT, DWORD, BOOL, DWORD, UINT);

FARPROC User32Export(const char* name)
{
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? GetProcAddress(user32, name) : nullptr;
}

}  // namespace

CKivDpiScale::CKivDpiScale(int dpi) : m_dpi(dpi > 0 ? dpi : kBaseDpi) {}

int CKivDpiScale::Scale(int value) const
{
    if (m_dpi == kBaseDpi)
        return value;
    const long long product = static_cast<long long>(value) * m_dpi;
    const long long half = kBaseDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kBaseDpi : -((-product + half) / kBaseDpi));
}

RECT CKivDpiScale::Scale(const RECT& rect) const
{
    return RECT{Scale(rect.left), Scale(rect.top), Scale(rect.right), Scale(rect.bottom)};
}

int CKivDpiScale::SystemDpi()
{
    // Fixed for the life of a process: the system reads it at process start.
    static int system = 0;
    if (system == 0)
    {
        const HDC screen = GetDC(nullptr);
        if (screen == nullptr)
            return kBaseDpi;
        const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
        system = dpi > 0 ? dpi : kBaseDpi;
    }
    return system;
}

int CKivDpiScale::DpiOfWindow(HWND window)
{
    static const GetDpiForWindowFn getDpiForWindow =
        reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(User32Export("GetDpiForWindow")));
    if (getDpiForWindow && window)
    {
        const UINT dpi = getDpiForWindow(window);
        if (dpi > 0)
            return static_cast<int>(dpi);
    }
    return SystemDpi();
}

int CKivDpiScale::SystemMetric(int index, int dpi)
{
    const int system = SystemDpi();
    if (dpi <= 0 || dpi == system)
        return GetSystemMetrics(index);
    static const GetSystemMetricsForDpiFn forDpi = reinterpret_cast<GetSystemMetricsForDpiFn>(
        reinterpret_cast<void*>(User32Export("GetSystemMetricsForDpi")));
    if (forDpi)
        return forDpi(index, static_cast<UINT>(dpi));
    return MulDiv(GetSystemMetrics(index), dpi, system);
}

RECT CKivDpiScale::FrameAround(DWORD style, DWORD exStyle, int dpi)
{
    RECT rect = {0, 0, 0, 0};
    const int system = SystemDpi();
    if (dpi <= 0 || dpi == system)
    {
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
        return rect;
    }
    static const AdjustWindowRectExForDpiFn forDpi = reinterpret_cast<AdjustWindowRectExForDpiFn>(
        reinterpret_cast<void*>(User32Export("AdjustWindowRectExForDpi")));
    if (forDpi && forDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        return rect;
    rect = RECT{0, 0, 0, 0};
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return RECT{MulDiv(rect.left, dpi, system), MulDiv(rect.top, dpi, system), MulDiv(rect.right, dpi, system),
                MulDiv(rect.bottom, dpi, system)};
}

#include "CKivScreenShot.h"
#include <cstdio>
#include "CKivBmpFile.h"
#include "CKivClientDC.h"
#include "CKivCompatibleDC.h"
#include "CKivGdiObject.h"
#include "CKivSelectObject.h"

namespace {

struct Search
{
    DWORD process;
    std::wstring className;
    std::wstring title;
    HWND found;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window))
        return TRUE;
    wchar_t className[128] = {};
    wchar_t title[256] = {};
    GetClassNameW(window, className, 128);
    GetWindowTextW(window, title, 256);
    if ((search->className.empty() || search->className == className) &&
        (search->title.empty() || search->title == title))
    {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool CKivScreenShot::WaitFor(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!condition())
    {
        if (GetTickCount64() >= end)
            return false;
        Sleep(20);
    }
    return true;
}

HWND CKivScreenShot::FindWindowOf(DWORD process, const wchar_t* className, const wchar_t* title)
{
    Search search = {process, className ? className : L"", title ? title : L"", nullptr};
    EnumWindows(&FindTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A sent message returns only after every message posted before it was
// handled; painting follows.
void CKivScreenShot::Settle(HWND window)
{
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
}

bool CKivScreenShot::SaveScreenArea(const std::wstring& path, const RECT& area)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    CKivClientDC screen(nullptr);
    CKivBitmap bitmap(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || bits == nullptr)
        return false;
    {
        CKivCompatibleDC memory(screen);
        CKivSelectObject select(memory, bitmap.Get());
        BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    }
    GdiFlush();
    return CKivBmpFile::Write(path.c_str(), info.bmiHeader, bits, CKivBmpFile::RowBytes(width, 24) * static_cast<size_t>(height));
}

bool CKivScreenShot::Shoot(HWND window, const std::wstring& path)
{
    Settle(window);
    RECT area;
    GetWindowRect(window, &area);
    const bool ok = SaveScreenArea(path, area);
    wprintf(L"%ls %ls\n", ok ? L"saved" : L"FAILED", path.c_str());
    return ok;
}

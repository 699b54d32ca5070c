// Drives the two preview programs from outside, the way a person would (keys,
// clicks, menu commands), and saves a picture of each step as a BMP file:
//   KivPreviewShots.exe PROGRAM_DIR SKIN_FILE OUTPUT_DIR
// SKIN_FILE may be empty ("") for the unskinned look. Exit code 0 when every
// step was reached.
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>
#include "CKivClientDC.h"
#include "CKivCompatibleDC.h"
#include "CKivGdiObject.h"
#include "CKivSelectObject.h"
#include "CKivApp.h"
#include "KivCommandIds.h"

namespace {

// Waits on the clock, not on a fixed sleep: polls every 20 ms up to timeoutMs.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 15000)
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

HWND FindWindowOf(DWORD process, const wchar_t* className, const wchar_t* title)
{
    Search search = {process, className ? className : L"", title ? title : L"", nullptr};
    EnumWindows(&FindTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Lets the program finish what it was asked: a sent message returns only
// after every message posted before it was handled, then painting follows.
void Settle(HWND window)
{
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
}

bool SaveBmp(const std::wstring& path, const RECT& area)
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
    const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) & ~3u);
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    header.bfSize = header.bfOffBits + stride * static_cast<DWORD>(height);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, &header, sizeof(header), &written, nullptr) &&
              WriteFile(file, &info.bmiHeader, sizeof(info.bmiHeader), &written, nullptr) &&
              WriteFile(file, bits, stride * static_cast<DWORD>(height), &written, nullptr);
    CloseHandle(file);
    return ok;
}

bool Shoot(HWND window, const std::wstring& path)
{
    Settle(window);
    RECT area;
    GetWindowRect(window, &area);
    const bool ok = SaveBmp(path, area);
    wprintf(L"%ls %ls\n", ok ? L"saved" : L"FAILED", path.c_str());
    return ok;
}

class Program
{
public:
    Program(const std::wstring& exe, const std::wstring& skin)
    {
        std::wstring command = L"\"" + exe + L"\"";
        if (!skin.empty())
            command += L" \"" + skin + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        std::vector<wchar_t> line(command.begin(), command.end());
        line.push_back(L'\0');
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_info))
            m_info = {};
    }
    ~Program()
    {
        if (m_info.hProcess == nullptr)
            return;
        if (WaitForSingleObject(m_info.hProcess, 10000) != WAIT_OBJECT_0)
            TerminateProcess(m_info.hProcess, 1);
        CloseHandle(m_info.hProcess);
        CloseHandle(m_info.hThread);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    bool Started() const { return m_info.hProcess != nullptr; }
    DWORD Id() const { return m_info.dwProcessId; }

private:
    PROCESS_INFORMATION m_info = {};
};

HWND VisiblePage(HWND tab)
{
    for (HWND child = GetWindow(tab, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    {
        if (IsWindowVisible(child))
            return child;
    }
    return nullptr;
}

bool ShootDialogProgram(const std::wstring& bin, const std::wstring& skin, const std::wstring& out)
{
    Program program(bin + L"\\KivPreview.exe", skin);
    HWND dialog = nullptr;
    if (!program.Started() || !WaitFor([&] { return (dialog = FindWindowOf(program.Id(), L"#32770", L"KivPreview")) != nullptr; }))
    {
        wprintf(L"KivPreview.exe did not show its dialog\n");
        return false;
    }
    SetForegroundWindow(dialog);
    HWND tab = GetDlgItem(dialog, 1000);
    bool ok = tab != nullptr;
    for (int page = 0; ok && page < 5; ++page)
    {
        if (page > 0)
        {
            // The tab control's own keyboard handling selects the next tab and notifies the dialog.
            SetFocus(nullptr);
            PostMessageW(tab, WM_KEYDOWN, VK_RIGHT, 0);
            ok = WaitFor([&] { return SendMessageW(tab, TCM_GETCURSEL, 0, 0) == page; });
        }
        HWND shown = nullptr;
        ok = ok && WaitFor([&] { return (shown = VisiblePage(tab)) != nullptr && GetDlgCtrlID(shown) == 0; });
        ok = ok && Shoot(dialog, out + L"\\preview-page" + std::to_wstring(page + 1) + L".bmp");
        if (ok && page == 0)
        {
            // Button2 opens the sample message box, which keeps the system's look.
            PostMessageW(GetDlgItem(shown, 1004), BM_CLICK, 0, 0);
            HWND box = nullptr;
            ok = WaitFor([&] { return (box = FindWindowOf(program.Id(), L"#32770", L"标题")) != nullptr; });
            ok = ok && Shoot(box, out + L"\\preview-messagebox.bmp");
            if (box)
                PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
            ok = ok && WaitFor([&] { return !IsWindow(box); });
        }
    }
    if (!ok)
        wprintf(L"KivPreview.exe: a page step failed\n");
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    return ok;
}

bool ShootMdiProgram(const std::wstring& bin, const std::wstring& skin, const std::wstring& out)
{
    Program program(bin + L"\\KivPreviewMDI.exe", skin);
    HWND frame = nullptr;
    if (!program.Started() ||
        !WaitFor([&] { return (frame = FindWindowOf(program.Id(), L"KivPreviewMDIFrame", nullptr)) != nullptr; }))
    {
        wprintf(L"KivPreviewMDI.exe did not show its frame\n");
        return false;
    }
    SetForegroundWindow(frame);
    PostMessageW(frame, WM_COMMAND, ID_FILE_NEW, 0);
    PostMessageW(frame, WM_COMMAND, ID_WINDOW_CASCADE, 0);
    HWND client = FindWindowExW(frame, nullptr, L"MDICLIENT", nullptr);
    const bool ok = client && WaitFor([&] {
        int children = 0;
        for (HWND child = GetWindow(client, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            children += IsWindowVisible(child) ? 1 : 0;
        return children >= 2;
    }) && Shoot(frame, out + L"\\preview-mdi.bmp");
    if (!ok)
        wprintf(L"KivPreviewMDI.exe: the second document window did not appear\n");
    PostMessageW(frame, WM_CLOSE, 0, 0);
    return ok;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const std::vector<std::wstring> arguments = CKivApp::SplitCommandLine(GetCommandLineW());
    if (arguments.size() < 4)
    {
        wprintf(L"usage: KivPreviewShots PROGRAM_DIR SKIN_FILE OUTPUT_DIR\n");
        return 2;
    }
    CreateDirectoryW(arguments[3].c_str(), nullptr);
    const bool dialogOk = ShootDialogProgram(arguments[1], arguments[2], arguments[3]);
    const bool mdiOk = ShootMdiProgram(arguments[1], arguments[2], arguments[3]);
    return dialogOk && mdiOk ? 0 : 1;
}

// Drives the two preview programs from outside, the way a person would (keys,
// clicks, menu commands), and saves a picture of each step as a BMP file:
//   KivPreviewShots.exe PROGRAM_DIR SKIN_FILE OUTPUT_DIR
// SKIN_FILE may be empty ("") for the unskinned look. Exit code 0 when every
// step was reached.
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <string>
#include <vector>
#include "CKivApp.h"
#include "CKivClientDC.h"
#include "CKivProcess.h"
#include "CKivScreenShot.h"
#include "KivCommandIds.h"
#include "KivPreviewRes.h"

namespace {

using Shots = CKivScreenShot;

class Program
{
public:
    Program(const std::wstring& exe, const std::wstring& skin)
    {
        std::wstring command = L"\"" + exe + L"\"";
        if (!skin.empty())
            command += L" \"" + skin + L"\"";
        m_process.Start(command);
    }
    ~Program()
    {
        if (m_process.IsStarted() && WaitForSingleObject(m_process.Process(), 10000) != WAIT_OBJECT_0)
            TerminateProcess(m_process.Process(), 1);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    bool Started() const { return m_process.IsStarted(); }
    DWORD Id() const { return m_process.Id(); }

private:
    CKivProcess m_process;
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

COLORREF ScreenPixel(POINT point)
{
    CKivClientDC screen(nullptr);
    return GetPixel(screen, point.x, point.y);
}

// The dialog before and after its skin switch command (Ctrl+K), on the page
// it shows: the same windows in the next skin.
bool ShootSkinSwitch(HWND dialog, const std::wstring& out)
{
    if (!Shots::Shoot(dialog, out + L"\\preview-switch-before.bmp"))
        return false;
    // The OK button's face differs between any two skins worth comparing.
    RECT button = {};
    GetWindowRect(GetDlgItem(dialog, IDOK), &button);
    const POINT probe = {button.left + 4, (button.top + button.bottom) / 2};
    const COLORREF before = ScreenPixel(probe);
    PostMessageW(dialog, WM_SYSCOMMAND, ID_SKIN_NEXT, 0);
    if (!Shots::WaitFor([&] { return ScreenPixel(probe) != before; }))
    {
        wprintf(L"KivPreview.exe: the skin switch did not show\n");
        return false;
    }
    return Shots::Shoot(dialog, out + L"\\preview-switch-after.bmp");
}

bool ShootDialogProgram(const std::wstring& bin, const std::wstring& skin, const std::wstring& out)
{
    Program program(bin + L"\\KivPreview.exe", skin);
    HWND dialog = nullptr;
    if (!program.Started() || !Shots::WaitFor([&] { return (dialog = Shots::FindWindowOf(program.Id(), L"#32770", L"KivPreview")) != nullptr; }))
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
            ok = Shots::WaitFor([&] { return SendMessageW(tab, TCM_GETCURSEL, 0, 0) == page; });
        }
        HWND shown = nullptr;
        ok = ok && Shots::WaitFor([&] { return (shown = VisiblePage(tab)) != nullptr && GetDlgCtrlID(shown) == 0; });
        ok = ok && Shots::Shoot(dialog, out + L"\\preview-page" + std::to_wstring(page + 1) + L".bmp");
        // The list page's first list box (the views page reuses its identifier for its list view).
        HWND list = ok ? GetDlgItem(shown, IDC_LIST_SINGLE) : nullptr;
        wchar_t listClass[16] = {};
        if (list != nullptr && (!GetClassNameW(list, listClass, 16) || lstrcmpiW(listClass, L"ListBox") != 0))
            list = nullptr;
        if (list != nullptr)
        {
            // The list page once more, its first list made shorter than its items
            // and scrolled to the end with an item chosen.
            RECT area = {};
            GetWindowRect(list, &area);
            SetWindowPos(list, nullptr, 0, 0, area.right - area.left, (area.bottom - area.top) / 2,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
            SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(count - 2), 0);
            SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(count - 1), 0);
            ok = Shots::WaitFor([&] { return SendMessageW(list, LB_GETTOPINDEX, 0, 0) > 0; }) &&
                 Shots::Shoot(dialog, out + L"\\preview-list-scrolled.bmp");
        }
        if (ok && page == 0)
        {
            // Button2 opens the sample message box, which keeps the system's look.
            PostMessageW(GetDlgItem(shown, 1004), BM_CLICK, 0, 0);
            HWND box = nullptr;
            ok = Shots::WaitFor([&] { return (box = Shots::FindWindowOf(program.Id(), L"#32770", L"标题")) != nullptr; });
            ok = ok && Shots::Shoot(box, out + L"\\preview-messagebox.bmp");
            if (box)
                PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
            ok = ok && Shots::WaitFor([&] { return !IsWindow(box); });
        }
    }
    if (!ok)
        wprintf(L"KivPreview.exe: a page step failed\n");
    else if (!skin.empty())
        ok = ShootSkinSwitch(dialog, out);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    return ok;
}

bool ShootMdiProgram(const std::wstring& bin, const std::wstring& skin, const std::wstring& out)
{
    Program program(bin + L"\\KivPreviewMDI.exe", skin);
    HWND frame = nullptr;
    if (!program.Started() ||
        !Shots::WaitFor([&] { return (frame = Shots::FindWindowOf(program.Id(), L"KivPreviewMDIFrame", nullptr)) != nullptr; }))
    {
        wprintf(L"KivPreviewMDI.exe did not show its frame\n");
        return false;
    }
    SetForegroundWindow(frame);
    PostMessageW(frame, WM_COMMAND, ID_FILE_NEW, 0);
    PostMessageW(frame, WM_COMMAND, ID_WINDOW_CASCADE, 0);
    HWND client = FindWindowExW(frame, nullptr, L"MDICLIENT", nullptr);
    const bool ok = client && Shots::WaitFor([&] {
        int children = 0;
        for (HWND child = GetWindow(client, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            children += IsWindowVisible(child) ? 1 : 0;
        return children >= 2;
    }) && Shots::Shoot(frame, out + L"\\preview-mdi.bmp");
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
    // The pictures show no control under the mouse, wherever a session left it.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    const bool dialogOk = ShootDialogProgram(arguments[1], arguments[2], arguments[3]);
    const bool mdiOk = ShootMdiProgram(arguments[1], arguments[2], arguments[3]);
    return dialogOk && mdiOk ? 0 : 1;
}

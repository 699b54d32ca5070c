#include "KivFrameTestHost.h"
#include "CKivClientDC.h"
#include "CKivCompatibleDC.h"
#include "CKivSelectObject.h"
#include "CKivGraphics.h"
#include <string>

namespace frametest {

namespace {
const UINT_PTR kMenuTimer = 0x4B4D;

void CALLBACK ReadAndCloseMenu(HWND window, UINT, UINT_PTR id, DWORD)
{
    KillTimer(window, id);
    HMENU menu = GetSystemMenu(window, FALSE);
    const UINT commands[5] = {SC_MOVE, SC_SIZE, SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE};
    for (int i = 0; i < 5; ++i)
        Log().menuStates[i] = menu ? (GetMenuState(menu, commands[i], MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) : 0xFFFF;
    Log().menuStatesRead = true;
    EndMenu();
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_CLOSE: ++Log().closes; return 0;
    case WM_ENTERMENULOOP:
        ++Log().menuLoops;
        Log().menuOpenedAt = GetTickCount();
        SetTimer(window, kMenuTimer, 30, &ReadAndCloseMenu);
        return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

const wchar_t* HostClass()
{
    static bool registered = false;
    if (!registered)
    {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &HostProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = L"KivFrameHost";
        wc.hIconSm = static_cast<HICON>(LoadImageW(nullptr, IDI_APPLICATION, IMAGE_ICON, 16, 16, LR_SHARED));
        RegisterClassExW(&wc);
        registered = true;
    }
    return L"KivFrameHost";
}
}  // namespace

HostLog& Log()
{
    static HostLog log;
    return log;
}

void ResetLog()
{
    Log() = HostLog();
}

HWND CreateHost(DWORD style, int x, int y, int width, int height, const wchar_t* title, HMENU menu, DWORD exStyle)
{
    return CreateWindowExW(exStyle, HostClass(), title, style, x, y, width, height, nullptr, menu,
                           GetModuleHandleW(nullptr), nullptr);
}

SkinnedFrame::SkinnedFrame(DWORD style, int width, int height, bool show, HMENU menu)
{
    Adopt(CreateHost(style & ~WS_VISIBLE, 60, 60, width, height, L"Kiv frame", menu), width, height, show);
}

SkinnedFrame::SkinnedFrame(HWND window, int width, int height, bool show)
{
    Adopt(window, width, height, show);
}

void SkinnedFrame::Adopt(HWND window, int width, int height, bool show)
{
    m_window = window;
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    m_frame.reset(new CKivFrameWnd);
    m_frame->Attach(m_window);
    // Attaching grows the window to keep its client size; tests want exact outer sizes.
    SetWindowPos(m_window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (show)
    {
        ShowWindow(m_window, (style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOW);
        SetForegroundWindow(m_window);
        UpdateWindow(m_window);
        kivtest::PumpPending();
    }
}

SkinnedFrame::~SkinnedFrame()
{
    m_frame.reset();
    DestroyWindow(m_window);
    kivtest::PumpPending();
}

int SkinnedFrame::Width() const
{
    RECT r = {};
    GetWindowRect(m_window, &r);
    return r.right - r.left;
}

int SkinnedFrame::Height() const
{
    RECT r = {};
    GetWindowRect(m_window, &r);
    return r.bottom - r.top;
}

POINT SkinnedFrame::ClientOrigin() const
{
    RECT r = {};
    GetWindowRect(m_window, &r);
    POINT p = {0, 0};
    ClientToScreen(m_window, &p);
    return POINT{p.x - r.left, p.y - r.top};
}

POINT SkinnedFrame::Screen(int x, int y) const
{
    RECT r = {};
    GetWindowRect(m_window, &r);
    return POINT{r.left + x, r.top + y};
}

LPARAM SkinnedFrame::ScreenParam(int x, int y) const
{
    const POINT p = Screen(x, y);
    return MAKELPARAM(p.x, p.y);
}

LRESULT SkinnedFrame::HitTest(int x, int y) const
{
    return SendMessageW(m_window, WM_NCHITTEST, 0, ScreenParam(x, y));
}

ModalGuard::ModalGuard(DWORD timeoutMs) : m_timeout(timeoutMs)
{
    m_stop.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    m_thread.Reset(CreateThread(nullptr, 0, &ModalGuard::Run, this, 0, nullptr));
}

ModalGuard::~ModalGuard()
{
    SetEvent(m_stop);
    WaitForSingleObject(m_thread, INFINITE);
}

DWORD WINAPI ModalGuard::Run(void* parameter)
{
    ModalGuard* self = static_cast<ModalGuard*>(parameter);
    if (WaitForSingleObject(self->m_stop, self->m_timeout) == WAIT_OBJECT_0)
        return 0;
    InterlockedExchange(&self->m_fired, 1);
    INPUT inputs[3] = {};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    inputs[1].type = INPUT_KEYBOARD;
    inputs[1].ki.wVk = VK_ESCAPE;
    inputs[2].type = INPUT_KEYBOARD;
    inputs[2].ki.wVk = VK_ESCAPE;
    inputs[2].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(3, inputs, sizeof(INPUT));
    return 0;
}

int SkinTextWidth(const wchar_t* text)
{
    const CKivClientDC screen(nullptr);
    const CKivCompatibleDC dc(screen);
    const CKivSelectObject font(dc, CKivGraphics::GetSkinFont(0));
    RECT r = {0, 0, 0, 0};
    DrawTextW(dc, text, -1, &r, DT_SINGLELINE | DT_CALCRECT);
    return r.right - r.left;
}

bool MoveCursor(POINT screen)
{
    SetCursorPos(screen.x, screen.y);
    // Wine may still deliver an older pointer position from the X server after
    // the warp; the position counts once it has held over several polls.
    int steady = 0;
    return kivtest::PumpUntil([&] {
        POINT now = {};
        GetCursorPos(&now);
        if (now.x != screen.x || now.y != screen.y)
        {
            SetCursorPos(screen.x, screen.y);
            steady = 0;
            return false;
        }
        return ++steady >= 5;
    }, 3000);
}

COLORREF ScreenPixel(POINT screen)
{
    const CKivClientDC dc(nullptr);
    return GetPixel(dc, screen.x, screen.y);
}

void CaptureScreen(POINT topLeft, kivtest::Canvas& canvas)
{
    kivtest::CaptureScreenAt(topLeft, canvas);
}

void SaveScreenshot(const kivtest::Canvas& canvas, const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"KIV_SCREENSHOT_DIR", folder, MAX_PATH) == 0)
        return;
    canvas.Save((std::wstring(folder) + L"\\" + name).c_str());
}

}  // namespace frametest

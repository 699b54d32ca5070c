#include "CKivSystemPaintMute.h"
#include <algorithm>

CKivSystemPaintMute::Shared& CKivSystemPaintMute::State()
{
    static Shared shared;
    return shared;
}

CKivSystemPaintMute::CKivSystemPaintMute(HWND window) : m_window(window)
{
    Shared& shared = State();
    if (shared.hook == nullptr)
        shared.hook = SetWindowsHookExW(WH_CALLWNDPROC, &CKivSystemPaintMute::CallWndProc, nullptr,
                                        GetCurrentThreadId());
    shared.windows.push_back(window);
}

CKivSystemPaintMute::~CKivSystemPaintMute()
{
    Shared& shared = State();
    auto found = std::find(shared.windows.rbegin(), shared.windows.rend(), m_window);
    if (found != shared.windows.rend())
        shared.windows.erase(std::next(found).base());
    if (shared.windows.empty() && shared.hook != nullptr)
    {
        UnhookWindowsHookEx(shared.hook);
        shared.hook = nullptr;
    }
}

bool CKivSystemPaintMute::IsMuted(HWND window)
{
    const std::vector<HWND>& windows = State().windows;
    return window != nullptr && std::find(windows.begin(), windows.end(), window) != windows.end();
}

LRESULT CALLBACK CKivSystemPaintMute::CallWndProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && lParam != 0)
    {
        const CWPSTRUCT* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if ((message->message == WM_CTLCOLORBTN || message->message == WM_CTLCOLORSTATIC) && message->wParam != 0 &&
            IsMuted(reinterpret_cast<HWND>(message->lParam)))
            IntersectClipRect(reinterpret_cast<HDC>(message->wParam), 0, 0, 0, 0);
    }
    return CallNextHookEx(State().hook, code, wParam, lParam);
}

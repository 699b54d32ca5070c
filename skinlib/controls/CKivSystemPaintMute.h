#pragma once
#include <windows.h>
#include "CKivHookedWindows.h"

// Keeps a control's own procedure from drawing on the screen while it handles
// one message. The system button procedure paints a state change straight
// onto a window DC, and hands that DC to the parent first in WM_CTLCOLORBTN
// or WM_CTLCOLORSTATIC. While a mute is open for the control, a thread hook
// empties the clip region of the DC those messages carry for it, so nothing
// of the system look reaches the screen. The window's visibility and redraw
// state are never touched: applications watching its style see no change.
class CKivSystemPaintMute
{
public:
    explicit CKivSystemPaintMute(HWND window);
    ~CKivSystemPaintMute();
    CKivSystemPaintMute(const CKivSystemPaintMute&) = delete;
    CKivSystemPaintMute& operator=(const CKivSystemPaintMute&) = delete;

    static bool IsMuted(HWND window);

private:
    // The hook lives while at least one mute is open on this thread.
    static CKivHookedWindows& Muted();
    static LRESULT CALLBACK CallWndProc(int code, WPARAM wParam, LPARAM lParam);

    HWND m_window;
};

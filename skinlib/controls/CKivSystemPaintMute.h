#pragma once
#include <windows.h>
#include <map>
#include "CKivHookedWindows.h"

// Keeps a control's own procedure from drawing on the screen while it handles
// one message. The system button and static procedures paint a state change
// straight onto a window DC, and hand that DC to the parent first in
// WM_CTLCOLORBTN or WM_CTLCOLORSTATIC. While a mute is open for the control,
// a thread hook empties the clip region of the DC those messages carry for
// it once the parent has answered (the parent sees the DC as the control
// prepared it), so nothing of the system look reaches the screen. The window's
// visibility and redraw state are never touched: applications watching its
// style see no change. Painted tells whether the control tried to draw
// meanwhile, so the skin repaints exactly when the control would have.
class CKivSystemPaintMute
{
public:
    explicit CKivSystemPaintMute(HWND window);
    ~CKivSystemPaintMute();
    CKivSystemPaintMute(const CKivSystemPaintMute&) = delete;
    CKivSystemPaintMute& operator=(const CKivSystemPaintMute&) = delete;

    static bool IsMuted(HWND window);
    // Runs pass (a message on its way to the control) with the control
    // muted; painted tells whether it drew meanwhile.
    template <typename Pass>
    static LRESULT Route(HWND window, Pass pass, bool* painted)
    {
        CKivSystemPaintMute mute(window);
        const LRESULT result = pass();
        if (painted != nullptr)
            *painted = mute.Painted();
        return result;
    }
    // True when the control drew (and was muted) since this mute opened.
    bool Painted() const;

private:
    // The hook lives while at least one mute is open on this thread.
    static CKivHookedWindows& Muted();
    // Muted drawings per window while a mute is open for it.
    static std::map<HWND, unsigned>& Drawings();
    static LRESULT CALLBACK CallWndProcRet(int code, WPARAM wParam, LPARAM lParam);
    // Keeps what the control draws next on this DC off the screen.
    static void Silence(HDC dc, HWND control);
    static bool IsButton(HWND control);
    // Far enough that nothing a control draws lands on any window.
    static const int kOutOfSight = 30000;

    HWND m_window;
    unsigned m_drawingsBefore = 0;
};

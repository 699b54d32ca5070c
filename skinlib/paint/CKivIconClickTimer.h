#pragma once
#include <windows.h>
#include <functional>

// Tells a single click on a frame's icon from a double click: the first
// click starts a window timer of the double-click time, and when it runs
// out after exactly one click the owner hears of it. The timer's procedure
// is called straight from the message loop, so the window's own procedure
// never sees it; its identifier, this object's address, cannot be one the
// host chose for its own timers.
class CKivIconClickTimer
{
public:
    explicit CKivIconClickTimer(std::function<void()> onSingleClick);
    ~CKivIconClickTimer();
    CKivIconClickTimer(const CKivIconClickTimer&) = delete;
    CKivIconClickTimer& operator=(const CKivIconClickTimer&) = delete;

    // A click on the icon of window.
    void Click(HWND window);
    // Forgets the clicks so far and kills a running timer.
    void Stop();
    bool IsRunning() const { return m_running; }

private:
    static void CALLBACK TimeUp(HWND window, UINT message, UINT_PTR id, DWORD time);
    void OnTimeUp();

    std::function<void()> m_onSingleClick;
    HWND m_window = nullptr;
    int m_clicks = 0;
    bool m_running = false;
};

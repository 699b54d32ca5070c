#pragma once
#include <windows.h>
#include <map>
#include "CKivHookedWindows.h"

// Lets a control's own procedure do its work while what it draws stays off
// the screen, and tells whether it drew meanwhile, so the skin repaints
// exactly when the control would have. The window's visibility and redraw
// state are never touched: applications watching its style see no change.
//
// A control announces each drawing of its own with a colour message that
// carries the DC it is about to draw on. Where that message goes to the
// parent as it is (buttons and statics: WM_CTLCOLORBTN, WM_CTLCOLORSTATIC), a
// thread hook sees it once the parent has answered (the parent sees the DC as
// the control prepared it) and keeps the drawing out of sight. Where the
// parent's skin hands the colour message on to the control's skin (combo and
// list boxes), that skin gives the DC to Silence instead. A DC the control is
// handed in the message itself (WM_ERASEBKGND) is muted by RouteOn for that
// one message.
class CKivPaintMute
{
public:
    // Who hears the control's colour messages while it is muted.
    enum class Heard
    {
        FromParent,  // the thread hook, on the way back from the parent
        BySkin  // the control's skin, which calls Silence
    };

    // Runs pass (a message on its way to the control) with the control
    // muted; painted (may be null) tells whether it drew meanwhile. Routes
    // of one window nest: heard from the parent, an outer route sees the
    // drawings of the routes inside it too; heard by the skin, each route
    // sees only its own, since the skin repaints after each of them.
    template <typename Pass>
    static LRESULT Route(HWND window, Pass pass, bool* painted, Heard heard = Heard::FromParent)
    {
        const Scope scope(window, heard);
        const LRESULT result = pass();
        if (painted != nullptr)
            *painted = scope.Painted();
        return result;
    }
    // Runs pass (a message that hands the control dc) with nothing the
    // control draws into dc showing; dc's state is restored afterwards.
    template <typename Pass>
    static LRESULT RouteOn(HDC dc, Pass pass)
    {
        const MutedDC muted(dc);
        return pass();
    }
    // For a colour message's DC that reached the control's skin: muted, and
    // counted as a drawing, only while a route for window runs. False when
    // nothing was muted.
    static bool Silence(HWND window, HDC dc);
    static bool IsMuted(HWND window);

private:
    class Scope
    {
    public:
        Scope(HWND window, Heard heard);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
        // True when the control drew (and was muted) since this scope opened.
        bool Painted() const;

    private:
        HWND m_window;
        Heard m_heard;
        unsigned m_drawingsBefore = 0;
    };
    class MutedDC
    {
    public:
        explicit MutedDC(HDC dc);
        ~MutedDC();
        MutedDC(const MutedDC&) = delete;
        MutedDC& operator=(const MutedDC&) = delete;

    private:
        HDC m_dc;
        int m_saved;
    };
    struct State
    {
        unsigned open = 0;
        unsigned drawings = 0;
    };

    // The hook lives while at least one window heard from its parent is muted.
    static CKivHookedWindows& Hooked();
    // Windows with a route under way.
    static std::map<HWND, State>& Open();
    static LRESULT CALLBACK CallWndProcRet(int code, WPARAM wParam, LPARAM lParam);
    // Keeps what the control draws next on this DC off the screen.
    static void Hide(HDC dc, HWND control);
    static bool IsButton(HWND control);
    // Far enough that nothing a control draws lands on any window.
    static const int kOutOfSight = 30000;
};

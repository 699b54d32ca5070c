#pragma once
#include <windows.h>
#include <functional>
#include "CKivScrollBarPaint.h"

struct KivSkinSettings;

// The standard scroll bars of a window (WS_VSCROLL, WS_HSCROLL) in the
// skin's colours. The system keeps all of the scrolling: it holds and
// answers the scroll information, hit-tests HTVSCROLL and HTHSCROLL, and runs
// its own tracking loop for a press on a bar, so the window hears exactly the
// WM_VSCROLL and WM_HSCROLL codes, repeat timing and SIF_TRACKPOS answers it
// hears unskinned. The skin only draws: with the system's geometry (arrow
// size, thumb place and size, pressed and disabled parts), and again wherever
// the system may have drawn its own bars: after the window's non-client
// paint, after each message the window handled, and inside the tracking loop
// after each step (a message filter sees every message of that loop).
//
// The owner, a skin object of the window, feeds it: the region for the
// system's WM_NCPAINT, presses on a bar, and every message it passed on.
class CKivWindowScrollBars
{
public:
    using Colours = CKivScrollBarPaint::Colours;

    CKivWindowScrollBars() = default;
    ~CKivWindowScrollBars();
    CKivWindowScrollBars(const CKivWindowScrollBars&) = delete;
    CKivWindowScrollBars& operator=(const CKivWindowScrollBars&) = delete;

    void Attach(HWND window);
    void Detach();
    HWND Window() const { return m_window; }
    void SetColours(const Colours& vertical, const Colours& horizontal);
    // The skin's scroll bar colours (SystemControl\VScrollBar and \HScrollBar).
    void TakeColours(const KivSkinSettings& settings);
    // Which bars the skin draws (both by default); the others stay the owner's.
    void Handle(bool vertical, bool horizontal);

    // Where a bar lies as the system lays it out (window coordinates) and
    // how it looks now; false when the window shows no such bar.
    bool Measure(int bar, CKivScrollBarPaint::Geometry* geometry, RECT* windowRect) const;
    // The box between two shown bars (window coordinates); false without one.
    bool Corner(RECT* windowRect) const;

    // A region (screen coordinates) for the system's WM_NCPAINT that leaves
    // out the bars the skin draws and their corner; update is the message's
    // region, 1 for all. Null when nothing is left out (pass the message's own).
    HRGN ClipRegion(WPARAM update) const;
    // Draws the bars onto the window now.
    void Paint();
    // Draws the bars into a context whose origin is the window's top-left (WM_PRINT).
    void PaintTo(HDC windowDc);
    // A press on a bar (WM_NCLBUTTONDOWN or WM_NCLBUTTONDBLCLK with
    // HTVSCROLL or HTHSCROLL): pass hands it to the window's previous
    // procedure, where the system's tracking loop runs until the release.
    LRESULT Track(const std::function<LRESULT()>& pass);
    // After the window handled a message: the bars again, unless the message
    // is one that never draws them.
    void AfterMessage(UINT message);
    // One message of the owner: handle runs it, and the bars follow (see
    // AfterMessage). A press on a bar is tracked (see Track), a WM_PRINT
    // gets the bars into its context after the owner printed itself, and
    // the bars' own repaint message is answered here.
    LRESULT Around(UINT message, WPARAM wParam, LPARAM lParam, const std::function<LRESULT()>& handle);

    static bool IsBarHit(WPARAM hitTest) { return hitTest == HTVSCROLL || hitTest == HTHSCROLL; }
    // Posted to the window inside the tracking loop (and taken out there);
    // one that reaches the owner after the loop asks for Paint and answer 0.
    static UINT RepaintMessage();

private:
    bool Handles(int bar) const { return bar == SB_VERT ? m_vertical : m_horizontal; }
    void PaintBar(HDC dc, int bar, POINT origin);
    static bool NeverDraws(UINT message);
    static LRESULT CALLBACK MessageFilter(int code, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
    bool m_vertical = true;
    bool m_horizontal = true;
    Colours m_colours[2];
};

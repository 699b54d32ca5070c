#pragma once
// Reading what a window's parent shows on screen and driving the real mouse,
// for tests of controls inside a host window on the virtual desktop.
#include <windows.h>
#include "KivTestSkin.h"

namespace kivtest {

// A shown top-level test window of a class registered on first use (with
// that procedure and a flat background), brought to the foreground.
HWND CreateForegroundHost(const wchar_t* className, WNDPROC proc, COLORREF background, const wchar_t* title,
                          int width, int height);
// The pixel the host's window DC shows at a client point of the control.
COLORREF PixelUnder(HWND host, HWND control, int x, int y);
// Copies what the host shows from a client point of the control on into the canvas (its size).
void SnapshotUnder(HWND host, HWND control, POINT from, Canvas& into);
// The bounds of what the screen shows inside a window's client area that
// differs from its background (the pixel at the bottom-right client corner);
// empty when nothing does. With skipGlyph, the first run of such columns
// (a check box's or radio button's glyph) is left out.
RECT InkBounds(HWND window, bool skipGlyph = false);
// The same within one area of the client (the background is the pixel at the
// area's bottom-right corner); the result is in client coordinates.
RECT InkBoundsIn(HWND window, const RECT& area);

// Cursor over a client point of the window, through the real input path.
void MoveCursorTo(HWND window, int x, int y);
// Moves the mouse to a client point of the window through the input queue
// (an absolute SendInput move, as a dragging hand does).
void SendMouseTo(HWND window, int x, int y);
// The same at a screen point.
void SendMouseToScreen(POINT screen);
// Presses or releases the left button through the input queue.
void SendLeftButton(bool down);
// Presses and releases a key through the input queue, as a typing hand does;
// it goes to whatever window has the keyboard focus.
void SendKey(WORD virtualKey);

}  // namespace kivtest

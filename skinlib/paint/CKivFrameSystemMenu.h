#pragma once
#include <windows.h>

// The system menu a skinned frame opens itself (right click on the caption,
// a click on the icon, Alt+Space): the window's own system menu with its
// entries enabled as the system's frame would for the window's style.
class CKivFrameSystemMenu
{
public:
    // The enable flags of SC_MOVE, SC_SIZE, SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE for a window style.
    static void States(LONG_PTR style, UINT states[5]);
    // The window's system menu with its entries enabled for the window's
    // style; null without a system menu.
    static HMENU Prepare(HWND window);
    // Opens the prepared menu at a screen point and waits for the choice; the
    // chosen command (0 for none) is posted to the window as its own WM_SYSCOMMAND.
    // It is never handed over as WM_COMMAND: an MDI frame sends command
    // numbers of the system's kind to its maximised child, and the bar's
    // commands are not the frame's.
    static void Track(HWND window, HMENU menu, POINT at);
};

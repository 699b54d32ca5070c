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
    // Opens the menu at a screen point and waits for the choice; the chosen
    // command (0 for none) is posted to the window as its own WM_SYSCOMMAND.
    // It is never handed over as WM_COMMAND: an MDI frame sends command
    // numbers of the system's kind to its maximised child, and the bar's
    // commands are not the frame's.
    static void Track(HWND window, POINT at);
    // Enables the entries for the window's style; false without a system menu.
    static bool Prepare(HWND window);
};

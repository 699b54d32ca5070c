#pragma once
#include <windows.h>

// Which implementation a standard control has: the system's (user32), or
// the common controls' version 6 that a program with a manifest gets. They
// differ in how they paint and what they tell the parent meanwhile: the
// common controls' button invalidates on a state change and sends
// NM_CUSTOMDRAW, the system's paints at once and sends no custom draw; the
// common controls' picture static fills its background with the parent's
// brush, the system's leaves it alone.
class CKivControlClass
{
public:
    // True when the window's class is not the system's own (user32's).
    static bool IsCommonControl(HWND window);
    // True when a common control draws itself with a visual-style theme.
    static bool IsThemed(HWND window);
};

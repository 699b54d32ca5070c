#pragma once
#include <windows.h>

// How a menu bar is painted. Item states are the visual-styles menu bar item
// states: 1 normal, 2 hot, 3 pushed, 4 greyed.
class IKivMenuPaint
{
public:
    static const int kGrayedState = 4;  // MBI_DISABLED

    virtual ~IKivMenuPaint() = default;
    virtual int DrawMenuBarItem(int state, const RECT* rect, const wchar_t* text) = 0;
    virtual void DrawMenuBarBackground(int state, const RECT* rect) = 0;
};

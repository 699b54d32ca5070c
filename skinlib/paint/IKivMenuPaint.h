#pragma once
#include <windows.h>

// How a menu bar is painted. Item states: 1 normal, 2 hot, 3 pushed.
class IKivMenuPaint
{
public:
    virtual ~IKivMenuPaint() = default;
    virtual int DrawMenuBarItem(int state, const RECT* rect, const wchar_t* text) = 0;
    virtual void DrawMenuBarBackground(int state, const RECT* rect) = 0;
};

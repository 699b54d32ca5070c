#pragma once
#include "CKivClassicPaint.h"
#include "IKivMenuPaint.h"

// Menu bar drawn with system colours.
class CKivClassicMenuPaint : public CKivClassicPaint, public IKivMenuPaint
{
public:
    CKivClassicMenuPaint(HWND window, HDC given) : CKivClassicPaint(window, given, WindowContext) {}
    int DrawMenuBarItem(int state, const RECT* rect, const wchar_t* text) override;
    void DrawMenuBarBackground(int state, const RECT* rect) override;
};

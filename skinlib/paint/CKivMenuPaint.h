#pragma once
#include "CKivPaint.h"
#include "IKivMenuPaint.h"

// Menu bar drawn from the skin pictures; available when the skin asks for it.
class CKivMenuPaint : public CKivPaint, public IKivMenuPaint
{
public:
    CKivMenuPaint(HWND window, HDC given) : CKivPaint(window, given, WindowContext) {}
    int IsAvailable() override;
    int DrawMenuBarItem(int state, const RECT* rect, const wchar_t* text) override;
    void DrawMenuBarBackground(int state, const RECT* rect) override;
};

#pragma once
#include "CKivNativeXPPaint.h"
#include "IKivMenuPaint.h"

// Menu bar drawn with the platform's menu theme.
class CKivNativeXPMenuPaint : public CKivNativeXPPaint, public IKivMenuPaint
{
public:
    CKivNativeXPMenuPaint(HWND window, HDC given) : CKivNativeXPPaint(window, given, WindowContext, L"MENU") {}
    int DrawMenuBarItem(int state, const RECT* rect, const wchar_t* text) override;
    void DrawMenuBarBackground(int state, const RECT* rect) override;
};

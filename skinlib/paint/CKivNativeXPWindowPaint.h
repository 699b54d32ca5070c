#pragma once
#include "CKivNativeXPPaint.h"
#include "IKivWindowPaint.h"

// Window strategy for visual styles. The system keeps drawing such frames, so this
// strategy only reports the background as erased and has no frame geometry.
class CKivNativeXPWindowPaint : public CKivNativeXPPaint, public IKivWindowPaint
{
public:
    explicit CKivNativeXPWindowPaint(HWND window) : CKivNativeXPPaint(window, nullptr, ClientContext, L"WINDOW") {}
    BOOL EraseBackground(HDC) override { return TRUE; }
    void DrawCaption(int, const wchar_t*) override {}
    void DrawCaptionIcon(HDC) override {}
    void DrawCaptionTitle(int, HDC) override {}
    void DrawCaptionButton(int, int) override {}
    KivFrameMetrics* CalcMetrics() override { return nullptr; }
};

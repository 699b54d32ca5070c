#pragma once
#include "CKivClassicPaint.h"
#include "IKivWindowPaint.h"

// Window strategy for system colours. The system keeps drawing such frames, so this
// strategy only reports the background as erased and has no frame geometry.
class CKivClassicWindowPaint : public CKivClassicPaint, public IKivWindowPaint
{
public:
    explicit CKivClassicWindowPaint(HWND window) : CKivClassicPaint(window, nullptr, ClientContext) {}
    BOOL EraseBackground(HDC) override { return TRUE; }
    void DrawCaption(int, const wchar_t*) override {}
    void DrawCaptionIcon(HDC) override {}
    void DrawCaptionTitle(int, HDC) override {}
    void DrawCaptionButton(int, int) override {}
    KivFrameMetrics* CalcMetrics() override { return nullptr; }
};

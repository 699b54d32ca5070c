#pragma once
#include <windows.h>
#include "KivFrameMetrics.h"

// How a window's frame and background are painted (skin, theme or classic).
class IKivWindowPaint
{
public:
    virtual ~IKivWindowPaint() = default;
    virtual BOOL EraseBackground(HDC dc) = 0;
    virtual void DrawCaption(int active, const wchar_t* title) = 0;
    virtual void DrawCaptionIcon(HDC dc) = 0;
    virtual void DrawCaptionTitle(int active, HDC dc) = 0;
    virtual void DrawCaptionButton(int index, int state) = 0;
    virtual KivFrameMetrics* CalcMetrics() = 0;
};

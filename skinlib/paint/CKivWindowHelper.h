#pragma once
#include <windows.h>
#include "KivFrameMetrics.h"
#include "KivSkinSettings.h"

// Frame geometry from the skin settings: border widths, caption, buttons, icon.
class CKivWindowHelper
{
public:
    virtual ~CKivWindowHelper() = default;

    virtual KivFrameMetrics* CalcFrameMetrics(HWND window, KivFrameMetrics* metrics, const KivSkinSettings* settings);
    // A window rectangle as (0, 0, width, height).
    virtual BOOL NormalizeWindowRect(HWND window, RECT* rect);
    // Distance between the window's left edge and its client area's left edge.
    virtual int GetSystemFrameWidth(HWND window);
    virtual BOOL CalcBorderWidths(HWND window, KivFrameMetrics* metrics, const KivSkinSettings* settings);
    virtual int GetMenuBarHeight(HWND window, const KivSkinSettings* settings);

    // Strip of caption buttons at the right end of the caption: 3 buttons, 4 gaps.
    static int ButtonStripWidth(const KivSkinSettings* settings);
    // The frame width the system gives the window's own style (its
    // left edge to its client's, without client edge or scroll bars).
    static int GetStyleFrameWidth(HWND window);
};

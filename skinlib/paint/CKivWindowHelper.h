#pragma once
#include <windows.h>
#include "CKivDpiScale.h"
#include "KivFrameMetrics.h"
#include "KivSkinSettings.h"

// Frame geometry from the skin settings: border widths, caption, buttons, icon,
// every skin metric scaled to the DPI the helper is set to.
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
    // The same strip as measured into a metrics record (at its DPI).
    static int ButtonStripWidth(const KivFrameMetrics& metrics);

    void SetDpiScale(const CKivDpiScale& scale) { m_dpiScale = scale; }
    const CKivDpiScale& DpiScale() const { return m_dpiScale; }
    // The frame width the system gives the window's own style (its
    // left edge to its client's, without client edge or scroll bars).
    static int GetStyleFrameWidth(HWND window);
    // The same at a DPI (the system's own answer where it gives one per DPI).
    static int GetStyleFrameWidth(HWND window, int dpi);
    // A screen point in window coordinates (from the window's top-left corner).
    static POINT ScreenToWindow(HWND window, POINT screen);

private:
    CKivDpiScale m_dpiScale;
};

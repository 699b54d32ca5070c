#include "CKivWindowHelper.h"
#include <cstdlib>

int CKivWindowHelper::ButtonStripWidth(const KivSkinSettings* settings)
{
    return 3 * settings->captionBarButtonWidth + 4 * settings->captionBarButtonSpace;
}

int CKivWindowHelper::ButtonStripWidth(const KivFrameMetrics& metrics)
{
    return 3 * metrics.closeButton.width + 4 * metrics.buttonSpace;
}

BOOL CKivWindowHelper::NormalizeWindowRect(HWND window, RECT* rect)
{
    // The whole rectangle counts, maximised or not: a maximised window's
    // frame hangs over every edge of its work area by the same width, and the
    // region and client area are measured from that same rectangle.
    (void)window;
    *rect = RECT{0, 0, rect->right - rect->left, rect->bottom - rect->top};
    return TRUE;
}

int CKivWindowHelper::GetStyleFrameWidth(HWND window)
{
    return GetStyleFrameWidth(window, CKivDpiScale::DpiOfWindow(window));
}

int CKivWindowHelper::GetStyleFrameWidth(HWND window, int dpi)
{
    // The client edge and scroll bars lie inside the frame, not in it.
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)) & ~(WS_VSCROLL | WS_HSCROLL);
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)) & ~WS_EX_CLIENTEDGE;
    return -CKivDpiScale::FrameAround(style, exStyle, dpi).left;
}

POINT CKivWindowHelper::ScreenToWindow(HWND window, POINT screen)
{
    RECT frame = {};
    GetWindowRect(window, &frame);
    return POINT{screen.x - frame.left, screen.y - frame.top};
}

int CKivWindowHelper::GetSystemFrameWidth(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    POINT corner = {rect.left, rect.top};
    ScreenToClient(window, &corner);
    return std::abs(static_cast<int>(corner.x));
}

BOOL CKivWindowHelper::CalcBorderWidths(HWND window, KivFrameMetrics* metrics, const KivSkinSettings* settings)
{
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    // A minimised window is nothing but its caption.
    if (style & WS_MINIMIZE)
    {
        metrics->borderLeft = metrics->borderTop = metrics->borderRight = metrics->borderBottom = 0;
        return TRUE;
    }
    if (style & WS_MAXIMIZE)
    {
        // The width the window hangs over its work area by (see WM_GETMINMAXINFO).
        const int frame = GetStyleFrameWidth(window, m_dpiScale.Dpi());
        metrics->borderLeft = metrics->borderTop = metrics->borderRight = metrics->borderBottom = frame;
        return TRUE;
    }
    if (!(style & WS_THICKFRAME))
    {
        metrics->borderLeft = metrics->borderTop = metrics->borderRight = metrics->borderBottom = 0;
        return TRUE;
    }
    // The system's own frame is already at the window's DPI; the skin's widths are scaled.
    const int frame = GetSystemFrameWidth(window);
    const CKivDpiScale& scale = m_dpiScale;
    metrics->borderLeft = settings->borderLeftWidth > 0 ? scale.Scale(settings->borderLeftWidth) : frame;
    metrics->borderTop = settings->borderTopWidth > 0 ? scale.Scale(settings->borderTopWidth) : frame;
    metrics->borderRight = settings->borderRightWidth > 0 ? scale.Scale(settings->borderRightWidth) : frame;
    metrics->borderBottom = settings->borderBottomWidth > 0 ? scale.Scale(settings->borderBottomWidth) : frame;
    if (settings->edgeEnableSizeCtl)
        metrics->borderLeft = metrics->borderTop = metrics->borderRight = metrics->borderBottom = 0;
    return TRUE;
}

int CKivWindowHelper::GetMenuBarHeight(HWND window, const KivSkinSettings* settings)
{
    // A child window's "menu" is its identifier.
    if ((GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) || GetMenu(window) == nullptr)
        return 0;
    return settings->menuBarHeight > 0 ? m_dpiScale.Scale(settings->menuBarHeight)
                                       : CKivDpiScale::SystemMetric(SM_CYMENU, m_dpiScale.Dpi());
}

KivFrameMetrics* CKivWindowHelper::CalcFrameMetrics(HWND window, KivFrameMetrics* metrics, const KivSkinSettings* settings)
{
    if (metrics == nullptr || settings == nullptr)
        return metrics;
    const CKivDpiScale& scale = m_dpiScale;
    metrics->dpi = scale.Dpi();
    CalcBorderWidths(window, metrics, settings);
    const int L = metrics->borderLeft, T = metrics->borderTop, R = metrics->borderRight, B = metrics->borderBottom;
    const int iconLeft = settings->borderLeftWidth ? scale.Scale(settings->borderLeftWidth) : L;
    const int iconTop = settings->borderTopWidth ? scale.Scale(settings->borderTopWidth) : T;
    const int iconX = scale.Scale(settings->captionBarIconX), iconY = scale.Scale(settings->captionBarIconY);
    metrics->iconRect = RECT{iconX + iconLeft, iconY + iconTop,
                             iconX + scale.Scale(settings->captionBarIconWidth) + iconLeft,
                             iconY + scale.Scale(settings->captionBarIconHeight) + iconTop};
    metrics->menuBarHeight = GetMenuBarHeight(window, settings);
    metrics->captionHeight = scale.Scale(settings->captionBarHeight);
    RECT rect = {};
    GetWindowRect(window, &rect);
    NormalizeWindowRect(window, &rect);
    const int W = rect.right, H = rect.bottom;
    int BH = scale.Scale(settings->captionBarButtonHeight);
    // The system makes a minimised window as high as its own caption, which
    // may be lower than the skin's: the caption then fills the window, and
    // buttons and icon are fitted into it rather than cut off.
    if ((GetWindowLongPtrW(window, GWL_STYLE) & WS_MINIMIZE) && H > 0)
    {
        metrics->captionHeight = H;
        metrics->menuBarHeight = 0;
        BH = BH < H ? BH : H;
        const int iconHeight = metrics->iconRect.bottom - metrics->iconRect.top;
        if (metrics->iconRect.bottom > H)
            OffsetRect(&metrics->iconRect, 0, (H - iconHeight) / 2 - metrics->iconRect.top);
    }
    const int C = metrics->captionHeight;
    metrics->leftBorderRect = RECT{0, 0, L, H};
    metrics->topBorderRect = RECT{L, 0, W - R, T};
    metrics->rightBorderRect = RECT{W - R, 0, W, H};
    metrics->bottomBorderRect = RECT{L, H - B, W - R, H};
    metrics->captionRect = RECT{L, T, W - R, T + C};
    const int BW = scale.Scale(settings->captionBarButtonWidth);
    const int S = scale.Scale(settings->captionBarButtonSpace);
    metrics->buttonSpace = S;
    metrics->closeButton = KivButtonBox{W - 2 * S - BW - R, C / 2 + T - BH / 2, BW, BH};
    if (GetWindowLongPtrW(window, GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))
    {
        metrics->maxButton = KivButtonBox{metrics->closeButton.x - S - BW, metrics->closeButton.y, BW, BH};
        metrics->minButton = KivButtonBox{metrics->maxButton.x - S - BW, metrics->closeButton.y, BW, BH};
    }
    return metrics;
}

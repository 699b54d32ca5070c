#include "CKivWindowHelper.h"
#include <cstdlib>

namespace {
int g_firstFrameWidth = -1;
}

int CKivWindowHelper::FirstSystemFrameWidth()
{
    return g_firstFrameWidth;
}

int CKivWindowHelper::ButtonStripWidth(const KivSkinSettings* settings)
{
    return 3 * settings->captionBarButtonWidth + 4 * settings->captionBarButtonSpace;
}

BOOL CKivWindowHelper::NormalizeWindowRect(HWND window, RECT* rect)
{
    const bool maximized = (GetWindowLongPtrW(window, GWL_STYLE) & WS_MAXIMIZE) != 0;
    const LONG width = rect->right - rect->left;
    // A maximised window hangs over the top screen edge; that part is not counted.
    const LONG height = maximized && rect->left < 0 && rect->top < 0 ? rect->bottom : rect->bottom - rect->top;
    *rect = RECT{0, 0, width, height};
    return TRUE;
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
    if (g_firstFrameWidth < 0)
        g_firstFrameWidth = GetSystemFrameWidth(window);
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    if (style & WS_MAXIMIZE)
    {
        metrics->borderLeft = metrics->borderTop = metrics->borderRight = metrics->borderBottom = g_firstFrameWidth;
        return TRUE;
    }
    if (!(style & WS_THICKFRAME))
    {
        metrics->borderLeft = metrics->borderTop = metrics->borderRight = metrics->borderBottom = 0;
        return TRUE;
    }
    const int frame = GetSystemFrameWidth(window);
    metrics->borderLeft = settings->borderLeftWidth > 0 ? settings->borderLeftWidth : frame;
    metrics->borderTop = settings->borderTopWidth > 0 ? settings->borderTopWidth : frame;
    metrics->borderRight = settings->borderRightWidth > 0 ? settings->borderRightWidth : frame;
    metrics->borderBottom = settings->borderBottomWidth > 0 ? settings->borderBottomWidth : frame;
    if (settings->edgeEnableSizeCtl)
        metrics->borderLeft = metrics->borderTop = metrics->borderRight = metrics->borderBottom = 0;
    return TRUE;
}

int CKivWindowHelper::GetMenuBarHeight(HWND window, const KivSkinSettings* settings)
{
    if (GetMenu(window) == nullptr)
        return 0;
    return settings->menuBarHeight > 0 ? settings->menuBarHeight : GetSystemMetrics(SM_CYMENU);
}

KivFrameMetrics* CKivWindowHelper::CalcFrameMetrics(HWND window, KivFrameMetrics* metrics, const KivSkinSettings* settings)
{
    if (metrics == nullptr || settings == nullptr)
        return metrics;
    CalcBorderWidths(window, metrics, settings);
    const int L = metrics->borderLeft, T = metrics->borderTop, R = metrics->borderRight, B = metrics->borderBottom;
    const int iconLeft = settings->borderLeftWidth ? settings->borderLeftWidth : L;
    const int iconTop = settings->borderTopWidth ? settings->borderTopWidth : T;
    metrics->iconRect = RECT{settings->captionBarIconX + iconLeft, settings->captionBarIconY + iconTop,
                             settings->captionBarIconX + settings->captionBarIconWidth + iconLeft,
                             settings->captionBarIconY + settings->captionBarIconHeight + iconTop};
    metrics->menuBarHeight = GetMenuBarHeight(window, settings);
    metrics->captionHeight = settings->captionBarHeight;
    const int C = metrics->captionHeight;
    RECT rect = {};
    GetWindowRect(window, &rect);
    NormalizeWindowRect(window, &rect);
    const int W = rect.right, H = rect.bottom;
    metrics->leftBorderRect = RECT{0, 0, L, H};
    metrics->topBorderRect = RECT{L, 0, W - R, T};
    metrics->rightBorderRect = RECT{W - R, 0, W, H};
    metrics->bottomBorderRect = RECT{L, H - B, W - R, H};
    metrics->captionRect = RECT{L, T, W - R, T + C};
    const int BW = settings->captionBarButtonWidth, BH = settings->captionBarButtonHeight;
    const int S = settings->captionBarButtonSpace;
    metrics->closeButton = KivButtonBox{W - 2 * S - BW - R, C / 2 + T - BH / 2, BW, BH};
    if (GetWindowLongPtrW(window, GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))
    {
        metrics->maxButton = KivButtonBox{metrics->closeButton.x - S - BW, metrics->closeButton.y, BW, BH};
        metrics->minButton = KivButtonBox{metrics->maxButton.x - S - BW, metrics->closeButton.y, BW, BH};
    }
    return metrics;
}

#include "CKivMenuBar.h"
#include "CKivGraphics.h"
#include "CKivSelectObject.h"
#include "CKivSkinStore.h"
#include "CKivTextContrast.h"

int CKivMenuBar::HandleMessage(UINT, WPARAM, LPARAM)
{
    return 1;
}

void CKivMenuBar::Draw(HDC surface, int windowWidth)
{
    if (m_hwnd == nullptr || m_metrics == nullptr || m_metrics->menuBarHeight <= 0)
        return;
    if (GetWindowLongPtrW(m_hwnd, GWL_STYLE) & WS_CHILD)
        return;
    HMENU menu = GetMenu(m_hwnd);
    if (menu == nullptr || !IsMenu(menu))
        return;
    const KivFrameMetrics& m = *m_metrics;
    RECT bar = {m.borderLeft, m.borderTop + m.captionHeight, windowWidth - m.borderRight,
                m.borderTop + m.captionHeight + m.menuBarHeight};
    if (bar.right <= bar.left)
        return;
    const KivSkinSettings& settings = CKivSkinStore::Settings();
    FillRect(surface, &bar, GetSysColorBrush(COLOR_MENU));
    if (!CKivGraphics::IsSkinRectEmpty(&settings.menuBarBackground))
        CKivGraphics::StretchBltFromSkinRect(surface, &bar, &settings.menuBarBackground);

    CKivSelectObject font(surface, CKivGraphics::GetSkinFont(0));
    const int oldMode = SetBkMode(surface, TRANSPARENT);
    const COLORREF oldColour = GetTextColor(surface);
    const CKivTextContrast::Colours& colours = CKivTextContrast::Current();
    const int padding = 8;
    int x = bar.left + padding / 2;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count && x < bar.right; ++i)
    {
        wchar_t text[128] = {};
        if (GetMenuStringW(menu, i, text, 128, MF_BYPOSITION) <= 0)
            continue;
        RECT measure = {0, 0, 0, 0};
        DrawTextW(surface, text, -1, &measure, DT_SINGLELINE | DT_CALCRECT);
        RECT item = {x, bar.top, x + (measure.right - measure.left) + 2 * padding, bar.bottom};
        const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
        SetTextColor(surface, (state & (MF_GRAYED | MF_DISABLED)) ? colours.barGrayText : colours.barText);
        DrawTextW(surface, text, -1, &item, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
        x = item.right;
    }
    SetTextColor(surface, oldColour);
    SetBkMode(surface, oldMode);
}

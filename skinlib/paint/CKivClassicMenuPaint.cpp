#include "CKivClassicMenuPaint.h"
#include "CKivSelectObject.h"

int CKivClassicMenuPaint::DrawMenuBarItem(int state, const RECT* rect, const wchar_t* text)
{
    HDC dc = Context();
    if (dc == nullptr || rect == nullptr)
        return 0;
    FillRect(dc, rect, GetSysColorBrush(state == 3 ? COLOR_MENUHILIGHT : COLOR_MENUBAR));
    if (text && *text)
    {
        CKivSelectObject font(dc, SkinFont(0));
        const int oldMode = SetBkMode(dc, TRANSPARENT);
        const COLORREF colour = state == 3 ? RGB(255, 255, 255)
                               : GetSysColor(state == kGrayedState ? COLOR_GRAYTEXT : COLOR_MENUTEXT);
        const COLORREF oldColour = SetTextColor(dc, colour);
        RECT area = *rect;
        DrawTextW(dc, text, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SetTextColor(dc, oldColour);
        SetBkMode(dc, oldMode);
    }
    return 1;
}

void CKivClassicMenuPaint::DrawMenuBarBackground(int, const RECT* rect)
{
    HDC dc = Context();
    if (dc && rect)
        FillRect(dc, rect, GetSysColorBrush(COLOR_MENUBAR));
}

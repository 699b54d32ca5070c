#include "CKivNativeXPMenuPaint.h"
#include "CKivThemeHandle.h"

namespace {
const int kBarItemPart = 8;       // MENU_BARITEM
const int kBarBackgroundPart = 7; // MENU_BARBACKGROUND
const int kTextBodyPart = 4;      // TEXT_BODYTEXT
}

int CKivNativeXPMenuPaint::DrawMenuBarItem(int state, const RECT* rect, const wchar_t* text)
{
    HDC dc = Context();
    if (dc == nullptr || rect == nullptr)
        return 0;
    DrawThemeBackground(Theme(), dc, kBarItemPart, state, rect, nullptr);
    if (text && *text && state == kGrayedState)
        DrawThemeText(Theme(), dc, kBarItemPart, state, text, -1, DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0, rect);
    else if (text && *text)
    {
        const CKivThemeHandle textTheme(OpenThemeData(Window(), L"TEXTSTYLE"));
        if (textTheme)
            DrawThemeText(textTheme, dc, kTextBodyPart, 1, text, -1, DT_CENTER | DT_VCENTER, 0, rect);
    }
    return 1;
}

void CKivNativeXPMenuPaint::DrawMenuBarBackground(int state, const RECT* rect)
{
    HDC dc = Context();
    if (dc && rect)
        DrawThemeBackground(Theme(), dc, kBarBackgroundPart, state, rect, nullptr);
}

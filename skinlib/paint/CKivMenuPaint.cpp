#include "CKivMenuPaint.h"
#include "CKivSelectObject.h"
#include "CKivSkinStore.h"
#include "CKivTextContrast.h"

int CKivMenuPaint::IsAvailable()
{
    return CKivSkinStore::Settings().menuBarEnableCustom ? 1 : 0;
}

int CKivMenuPaint::DrawMenuBarItem(int state, const RECT* rect, const wchar_t* text)
{
    HDC dc = Context();
    if (dc == nullptr || rect == nullptr)
        return 0;
    const KivSkinSettings& settings = CKivSkinStore::Settings();
    StretchBltFromSkinRect(dc, rect, state == 3 ? &settings.menuBarSelectedItem : &settings.menuBarBackground);
    if (text && *text)
    {
        CKivSelectObject font(dc, SkinFont(0));
        const int oldMode = SetBkMode(dc, TRANSPARENT);
        const CKivTextContrast::Colours& colours = CKivTextContrast::Current();
        const COLORREF oldColour = SetTextColor(dc, state == kGrayedState ? colours.barGrayText : colours.barText);
        RECT area = *rect;
        DrawTextW(dc, text, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SetTextColor(dc, oldColour);
        SetBkMode(dc, oldMode);
    }
    return 1;
}

void CKivMenuPaint::DrawMenuBarBackground(int, const RECT* rect)
{
    HDC dc = Context();
    if (dc && rect)
        StretchBltFromSkinRect(dc, rect, &CKivSkinStore::Settings().menuBarBackground);
}

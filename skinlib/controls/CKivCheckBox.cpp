#include "CKivCheckBox.h"
#include "CKivGraphics.h"
#include "CKivSkinStore.h"

const RECT* CKivCheckBox::ChooseGlyph(int state)
{
    const HWND window = Window();
    if (window == nullptr)
        return nullptr;
    if (state == StateNormal && Hot())
        state = StateHot;
    const KivSkinSettings& skin = CKivSkinStore::Settings();
    const RECT* const unchecked[4] = {&skin.checkBoxUncheckedNormal, &skin.checkBoxUncheckedHot,
                                      &skin.checkBoxUncheckedPressed, &skin.checkBoxUncheckedDisabled};
    const RECT* const checked[4] = {&skin.checkBoxCheckedNormal, &skin.checkBoxCheckedHot,
                                    &skin.checkBoxCheckedPressed, &skin.checkBoxCheckedDisabled};
    const RECT* const mixed[4] = {&skin.checkBoxMixedNormal, &skin.checkBoxMixedHot, &skin.checkBoxMixedPressed,
                                  &skin.checkBoxMixedDisabled};
    const RECT* const implicit[4] = {&skin.checkBoxImplicitNormal, &skin.checkBoxImplicitHot,
                                     &skin.checkBoxImplicitPressed, &skin.checkBoxImplicitDisabled};
    // The check state is the one the skin tracked from BM_SETCHECK: asking
    // the control while painting would send messages hosts do not expect.
    // The implicit set follows the last BM_SETSTATE of 2.
    const RECT* const* set = nullptr;
    if (HighlightState() == 2)
    {
        set = implicit;
    }
    else
    {
        switch (CheckState())
        {
        case BST_UNCHECKED: set = unchecked; break;
        case BST_CHECKED: set = checked; break;
        case BST_INDETERMINATE: set = mixed; break;
        default: return nullptr;
        }
    }
    int index = 0;
    if (GetWindowLongPtrW(window, GWL_STYLE) & WS_DISABLED)
        index = 3;
    else if (state >= StateNormal && state <= StateDisabled)
        index = state - StateNormal;
    else
        return nullptr;
    // A skin without the indeterminate pictures shows a three-state box that
    // holds BST_INDETERMINATE as checked, rather than with no box at all.
    if (set == mixed && CKivGraphics::IsSkinRectEmpty(mixed[index]))
        return checked[index];
    return set[index];
}

void CKivCheckBox::PaintContent(HDC canvas, int state)
{
    if (const RECT* glyph = ChooseGlyph(state))
        PaintGlyphAndText(canvas, *glyph);
}

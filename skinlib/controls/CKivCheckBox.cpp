#include "CKivCheckBox.h"
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
        const int check = CheckState();
        if (check == BST_UNCHECKED)
            set = unchecked;
        else if (check == BST_CHECKED || check == BST_INDETERMINATE)
            set = checked;
        else
            return nullptr;
    }
    if (GetWindowLongPtrW(window, GWL_STYLE) & WS_DISABLED)
        return set[3];
    if (state < StateNormal || state > StateDisabled)
        return nullptr;
    return set[state - StateNormal];
}

void CKivCheckBox::PaintContent(HDC canvas, int state)
{
    if (const RECT* glyph = ChooseGlyph(state))
        PaintGlyphAndText(canvas, *glyph);
}

#include "CKivRadioButton.h"
#include "CKivSkinStore.h"

LRESULT CKivRadioButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case BM_SETCHECK: return OnSetCheckRadio(wParam, lParam);
    case BM_GETCHECK: return OnGetCheckRadio(wParam, lParam);
    default: return CKivButton::WindowProc(message, wParam, lParam);
    }
}

LRESULT CKivRadioButton::OnSetCheckRadio(WPARAM check, LPARAM lParam)
{
    // Recorded first: the control may paint (and the skin with it) while it
    // takes the new state.
    SetCheckState(CheckKeptFor(check));
    CKivButton::WindowProc(BM_SETCHECK, check, lParam);
    return 0;
}

LRESULT CKivRadioButton::OnGetCheckRadio(WPARAM wParam, LPARAM lParam)
{
    CKivButton::WindowProc(BM_GETCHECK, wParam, lParam);
    return CheckState();
}

const RECT* CKivRadioButton::ChooseGlyph(int state) const
{
    const HWND window = Window();
    if (window == nullptr)
        return nullptr;
    const KivSkinSettings& skin = CKivSkinStore::Settings();
    const RECT* const unchecked[4] = {&skin.radioButtonUncheckedNormal, &skin.radioButtonUncheckedHot,
                                      &skin.radioButtonUncheckedPressed, &skin.radioButtonUncheckedDisabled};
    const RECT* const checked[4] = {&skin.radioButtonCheckedNormal, &skin.radioButtonCheckedHot,
                                    &skin.radioButtonCheckedPressed, &skin.radioButtonCheckedDisabled};
    const RECT* const* set = CheckState() == 1 ? checked : unchecked;
    if (GetWindowLongPtrW(window, GWL_STYLE) & WS_DISABLED)
        state = StateDisabled;
    else if (state == StateNormal && Hot())
        state = StateHot;
    switch (state)
    {
    case StateHot: return set[1];
    case StatePressed: return set[2];
    case StateDisabled: return set[3];
    default: return set[0];
    }
}

void CKivRadioButton::PaintContent(HDC canvas, int state)
{
    if (const RECT* glyph = ChooseGlyph(state))
        PaintGlyphAndText(canvas, *glyph);
}

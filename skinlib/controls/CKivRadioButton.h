#pragma once
#include "CKivButton.h"

// Radio button skin (BS_RADIOBUTTON, BS_AUTORADIOBUTTON). Which button of a
// group is checked is the control's own decision, whatever the input (a
// click, a release outside, Alt+mnemonic, arrow keys, BM_CLICK), or the
// program's for a non-automatic button; the skin follows every BM_SETCHECK
// and draws the glyph of the state the control holds.
class CKivRadioButton : public CKivButton
{
public:
    CKivRadioButton() = default;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    const RECT* ChooseGlyph(int state) const;

protected:
    void PaintContent(HDC canvas, int state) override;

private:
    LRESULT OnSetCheckRadio(WPARAM check, LPARAM lParam);
    LRESULT OnGetCheckRadio(WPARAM wParam, LPARAM lParam);
};

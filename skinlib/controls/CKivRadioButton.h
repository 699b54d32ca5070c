#pragma once
#include "CKivButton.h"

// Radio button skin (BS_AUTORADIOBUTTON). A check that arrives while the
// button is held with the cursor outside is dropped: releasing outside must
// not check it.
class CKivRadioButton : public CKivButton
{
public:
    CKivRadioButton() = default;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnLButtonUp(WPARAM wParam, LPARAM lParam) override;

    const RECT* ChooseGlyph(int state) const;

protected:
    void Paint(HDC dc, int state) override;

private:
    LRESULT OnSetCheckRadio(WPARAM check, LPARAM lParam);
    LRESULT OnGetCheckRadio(WPARAM wParam, LPARAM lParam);
};

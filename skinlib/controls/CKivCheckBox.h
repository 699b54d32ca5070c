#pragma once
#include "CKivButton.h"

// Check box skin (BS_CHECKBOX, BS_AUTOCHECKBOX, BS_3STATE, BS_AUTO3STATE):
// glyph from the Unchecked, Checked, Mixed (BST_INDETERMINATE) or Implicit
// picture set, text to its right. The control keeps its own check logic and
// state cycle; the skin follows every BM_SETCHECK it is sent.
class CKivCheckBox : public CKivButton
{
public:
    CKivCheckBox() = default;

    // The glyph for a paint state, or null when nothing is drawn.
    const RECT* ChooseGlyph(int state);

protected:
    void PaintContent(HDC canvas, int state) override;
    bool HasContent(int state) override { return ChooseGlyph(state) != nullptr; }
};

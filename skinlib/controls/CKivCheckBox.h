#pragma once
#include "CKivButton.h"

// Check box skin (BS_AUTOCHECKBOX): glyph from the Unchecked, Checked or
// Implicit picture set, text to its right.
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

#pragma once
#include "CKivStatic.h"

// Picture static skin (SS_BITMAP, SS_ICON): the control's image at its
// natural size, clipped to the client area, over the skinned dialog
// background; pure black bitmap pixels are transparent. Without an image
// the system's static draws nothing, so the skin's background shows; the
// common controls' static fills the parent's brush, so it paints itself.
class CKivPictureControl : public CKivStatic
{
public:
    CKivPictureControl() = default;

protected:
    bool TakesType(LONG type) const override;
    bool Transparent() const override;
    bool SkinPaints() override;
    bool FillsBackground(bool) const override { return true; }
    bool UsesParentBrush() const override { return false; }
    void Compose(HDC dc, const RECT& client) override;
};

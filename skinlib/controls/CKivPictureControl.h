#pragma once
#include "CKivStatic.h"

// Picture static skin (SS_BITMAP, SS_ICON): the control's image at its
// natural size, clipped to the client area, over the skinned dialog
// background; pure black bitmap pixels are transparent. Without an image
// only the background shows.
class CKivPictureControl : public CKivStatic
{
public:
    CKivPictureControl() = default;

protected:
    bool TakesType(LONG type) const override;
    bool Transparent() const override;
    void Compose(HDC dc, const RECT& client) override;
};

#pragma once
#include "CKivDialog.h"
#include "CKivGdiObject.h"

// The splash shown before the main window: the welcome picture (bitmap 134),
// faded in, closing itself after a second (timer 103).
class CWelcomeDlg : public CKivDialog
{
public:
    enum : UINT
    {
        kTimer = 103,
        kShowMilliseconds = 1000,
        kFadeMilliseconds = 600,
        kGlowColour = 0xF0F0F0,
    };

    CWelcomeDlg();

protected:
    BOOL OnInitDialog(HWND focus) override;
    bool OnPaint() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Where the glow window of the library (colour kGlowColour) is created
    // around the splash and fed its messages, once the glow window exists in
    // the library. Until then the splash shows without it.
    void AttachGlow();
    INT_PTR OnTimer(UINT_PTR id);

    CKivBitmap m_picture;
};

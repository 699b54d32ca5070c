#pragma once
#include "CKivDialog.h"
#include "CKivEffectGlowWnd.h"
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
    // The library's glow (colour kGlowColour) around the splash; it follows
    // the splash through its own subclass and ends with it.
    void AttachGlow();
    INT_PTR OnTimer(UINT_PTR id);

    CKivBitmap m_picture;
    CKivEffectGlowWnd m_glow;
};

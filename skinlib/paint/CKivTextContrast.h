#pragma once
#include <windows.h>
#include "KivSkinSettings.h"

// Text colours for the frame's title, menu bar items and button labels that stay readable on
// the skin pictures under them: black where black contrasts more with the
// average luminance of the caption picture (active and inactive apart) or of
// the bar picture, white otherwise (relative luminance and contrast ratio as
// WCAG defines them). Measured once per skin load.
class CKivTextContrast
{
public:
    struct Colours
    {
        COLORREF titleActive = RGB(0, 0, 0);
        COLORREF titleInactive = RGB(0, 0, 0);
        COLORREF barText = RGB(0, 0, 0);
        COLORREF barGrayText = RGB(128, 128, 128);
        // Push button labels on the button's face, check box and radio
        // button labels on the dialog background; disabled ones in a grey
        // that still reads there.
        COLORREF buttonText = RGB(0, 0, 0);
        COLORREF buttonGrayText = RGB(0, 0, 0);
        COLORREF dialogText = RGB(0, 0, 0);
        COLORREF dialogGrayText = RGB(0, 0, 0);
    };

    // The colours for the skin as it is now.
    static const Colours& Current();
    // The colours for these settings over this atlas.
    static Colours Measure(HBITMAP atlas, const KivSkinSettings& settings);

    static double RelativeLuminance(COLORREF colour);
    static double ContrastRatio(double luminanceA, double luminanceB);
    static double ContrastRatio(COLORREF a, COLORREF b);
    // Average relative luminance of an atlas piece, leaving out the pure
    // black pixels that are drawn transparent; false when nothing is left.
    static bool AverageLuminance(HBITMAP atlas, const RECT& piece, double* luminance);
    // The same pass, also giving the piece's average colour; either out may be null.
    static bool Average(HBITMAP atlas, const RECT& piece, double* luminance, COLORREF* colour);
    // Black or white, whichever contrasts more with that background.
    static COLORREF ReadableOn(double backgroundLuminance);
    // A grey for disabled text: the darkest (on dark backgrounds) or lightest
    // grey that still reaches 4.5:1, so it reads as dimmer than the normal text.
    static COLORREF GrayOn(double backgroundLuminance);
};

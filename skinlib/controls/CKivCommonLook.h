#pragma once
#include <windows.h>

struct KivSkinSettings;

// What the skin paints for the common controls it draws beyond its own keys
// (tool bars, rebars, status bars, headers, tips, spin buttons, the MDI
// client and rich edits), taken from pictures and colours every skin already
// has: the menu bar for bars, the push button for headers and pressed tool
// buttons, list and scroll bar colours for tips and spin buttons. Each
// surface carries the text colours that read on what is actually painted
// there: black or white by contrast with the picture's average (or the
// colour), and a grey for disabled text that still reads. Measured once per
// skin load.
class CKivCommonLook
{
public:
    struct Surface
    {
        RECT picture = {};   // atlas piece, stretched; all zero: none
        COLORREF colour = 0;  // the fill where there is no picture
        COLORREF average = 0;  // what the surface shows on average (the picture's, or the colour)
        COLORREF text = 0;
        COLORREF grayText = 0;
        double luminance = 0.0;  // of what is painted (the picture's average, or the colour)
        bool ground = false;     // the colour goes under the picture too (its black shows the colour)
    };

    Surface bar;          // tool bars, rebars and status bars
    Surface barHot;       // a hot tool button
    Surface barPressed;   // a pressed or checked tool button
    Surface face;         // header items
    Surface faceHot;
    Surface facePressed;
    Surface tip;          // tooltips
    Surface spin;         // up-down buttons
    Surface spinPressed;
    Surface page;         // the MDI client's background
    Surface document;     // rich edit background and default text
    COLORREF line = 0;       // separators and borders on bars and headers
    COLORREF tipBorder = 0;
    COLORREF spinBorder = 0;
    COLORREF spinPressedBorder = 0;

    // The look for the skin as it is now (measured again after a skin load).
    static const CKivCommonLook& Current();
    // The look these settings give over this atlas.
    static CKivCommonLook Measure(HBITMAP atlas, const KivSkinSettings& settings);

    // A flat surface of what another one shows on average (for areas a
    // picture would have to be squeezed into).
    static Surface Flattened(const Surface& surface);

    // Paints a surface over area: its picture stretched over stretch (clipped
    // to area; pure black in it stays transparent, over the colour for a
    // ground surface), or its colour over area. stretch lets a bar inside another bar
    // continue the outer bar's picture.
    static void Fill(HDC dc, const RECT& area, const Surface& surface);
    static void Fill(HDC dc, const RECT& area, const RECT& stretch, const Surface& surface);
    static bool HasPicture(const Surface& surface);
    // A flat box, and a one-pixel frame, in a colour.
    static void FillColour(HDC dc, const RECT& box, COLORREF colour);
    static void FrameColour(HDC dc, const RECT& box, COLORREF colour);
    // The rectangle a bar's picture is stretched over, in the window's client
    // coordinates: its own client area, or the rebar's it sits in, so bands
    // and the rebar show one continuous bar.
    static RECT BarStretch(HWND window);
};

#pragma once
#include <windows.h>

// Draws one scroll bar in the skin's five bar colours from a given geometry:
// both arrow buttons (an outlined box with a triangle), the track and the
// thumb. Who decides the geometry (the drawn bar of a control, or the system
// for a window's own bars) lays it out, its lengths at the window's DPI;
// this only paints, composed in one memory bitmap and copied in one blit,
// with the outline width and the triangles at the geometry's DPI.
class CKivScrollBarPaint
{
public:
    struct Colours
    {
        COLORREF bar = 0xFFFFFF;          // arrow buttons and thumb at rest
        COLORREF barBorder = 0x000000;    // their outline
        COLORREF slider = 0x00F0F0;       // a pressed arrow, a dragged thumb
        COLORREF sliderBorder = 0x0000FF; // its outline
        COLORREF background = 0xFFA0A0;   // the track
    };
    struct Geometry
    {
        bool horizontal = false;
        int width = 0;
        int height = 0;
        int arrow = 0;        // length of each arrow button along the bar
        int thumbStart = 0;   // from the bar's start
        int thumbLength = 0;  // 0: no thumb
        bool backPressed = false;     // up or left arrow
        bool forwardPressed = false;  // down or right arrow
        bool thumbPressed = false;
        bool backDisabled = false;
        bool forwardDisabled = false;
        int dpi = 96;  // outline and triangles are drawn at this DPI's scale
        bool operator==(const Geometry& other) const;
        bool operator!=(const Geometry& other) const { return !(*this == other); }
    };

    // Colours from the five values of a settings group, in the order of its
    // keys SBarColor, SBarBorderColor, SBarSliderColor, SBarSliderBorderColor,
    // SBarBackground.
    static Colours FromKeys(int bar, int barBorder, int slider, int sliderBorder, int background);
    // The bar at (x, y) of dc.
    static void Draw(HDC dc, int x, int y, const Geometry& geometry, const Colours& colours);
    // The bar at (0, 0) of a memory context of its size.
    static void Compose(HDC memory, const Geometry& geometry, const Colours& colours);
    // The triangle colour of an arrow button of that fill: the fill darkened
    // (see CKivGraphics::FillArrow), nearer the fill when disabled.
    static COLORREF ArrowColour(COLORREF fill, bool disabled);
};

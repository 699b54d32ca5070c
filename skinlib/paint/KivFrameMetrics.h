#pragma once
#include <windows.h>

// A caption button's place: position and size, not right and bottom.
struct KivButtonBox
{
    int x;
    int y;
    int width;
    int height;
};

// Geometry of one skinned frame in window coordinates (origin at the top-left
// of the window rectangle); recomputed whenever the frame is measured.
struct KivFrameMetrics
{
    RECT leftBorderRect;
    RECT topBorderRect;
    RECT rightBorderRect;
    RECT bottomBorderRect;
    RECT captionRect;
    KivButtonBox closeButton;
    KivButtonBox maxButton;
    KivButtonBox minButton;
    int menuBarHeight;
    int borderLeft;
    int borderTop;
    int borderRight;
    int borderBottom;
    int captionHeight;
    RECT iconRect;
    // The DPI the record was measured at and the gap between caption buttons
    // at that DPI: whoever draws the frame scales by these, not the settings.
    int dpi;
    int buttonSpace;
};

#pragma once
// Reading a picture the way a user does: how dark it is, and how well the
// text in an area stands out from what lies under it.
#include <windows.h>
#include "KivTestSkin.h"

namespace kivtest {

struct TextSample
{
    COLORREF background = CLR_INVALID;  // the most frequent colour of the area
    COLORREF ink = CLR_INVALID;         // the frequent colour that stands out most from it
    double ratio = 1.0;                 // contrast of ink on background (1 to 21)
    int inkPixels = 0;                  // pixels that differ visibly from the background
};

// The text of an area (canvas coordinates): a colour counts as ink only when
// enough pixels have it, so a stray line or the edge of an icon does not.
TextSample SampleText(const Canvas& canvas, const RECT& area);

// Share (0 to 1) of the pixels whose luma (0.299 R + 0.587 G + 0.114 B) is
// under 35 % of full scale.
double DarkShare(const Canvas& canvas);

}  // namespace kivtest

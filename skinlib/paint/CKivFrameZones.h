#pragma once
#include <windows.h>
#include "KivFrameMetrics.h"

// The fifteen zones of a skinned frame, in window coordinates, and what the
// frame answers to WM_NCHITTEST in each: the borders and their corner
// pieces (1 to 12), the caption (13), the client area (14) and the menu bar
// (15). Earlier zones win where two overlap.
class CKivFrameZones
{
public:
    static const int kZoneCount = 15;

    // Zone 1 to 15 as (x, y, x + width, y + height), both edges inside;
    // FALSE for a zone number out of range.
    static BOOL ZoneRect(const KivFrameMetrics& metrics, int zone, RECT* out);
    // The hit code of a window point and its zone (0 and -1 outside every
    // zone). Only a sizable frame answers sizing codes; elsewhere the
    // border zones still win over the caption and client, as HTNOWHERE.
    static LRESULT HitTest(const KivFrameMetrics& metrics, POINT windowPoint, bool canSize, int* zone);
};

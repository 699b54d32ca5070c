#pragma once
#include <windows.h>
#include "CKivReleasedDC.h"

// GetWindowDC / ReleaseDC: the whole window including the frame.
struct KivWindowDCTraits
{
    static HDC Acquire(HWND window) { return GetWindowDC(window); }
};
using CKivWindowDC = CKivReleasedDC<KivWindowDCTraits>;

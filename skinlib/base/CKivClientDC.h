#pragma once
#include <windows.h>
#include "CKivReleasedDC.h"

// GetDC / ReleaseDC.
struct KivClientDCTraits
{
    static HDC Acquire(HWND window) { return GetDC(window); }
};
using CKivClientDC = CKivReleasedDC<KivClientDCTraits>;

#pragma once
#include <windows.h>
#include "CKivPaintDC.h"

// The one way from WM_PAINT and WM_PRINTCLIENT into a skin's PaintTo(HDC).
// A DC the message brings (WM_PRINTCLIENT, or WM_PAINT with a DC in wParam)
// means "draw here", outside any paint cycle. Without one the window's own
// paint cycle (BeginPaint/EndPaint) supplies the DC and validates the
// window, so the control's procedure never paints it.
class CKivPaintEntry
{
public:
    // Calls paintTo(dc) with the given DC or the paint cycle's; false when
    // there was none (no window, or BeginPaint failed).
    template <typename PaintTo>
    static bool Paint(HWND window, HDC given, PaintTo paintTo)
    {
        return Enter(window, given, [&](HDC dc, const PAINTSTRUCT*) { paintTo(dc); });
    }
    // The same for a skin that draws only what needs it: paintTo(dc, area)
    // gets the whole client area for a given DC, the paint cycle's rcPaint
    // otherwise.
    template <typename PaintTo>
    static bool PaintArea(HWND window, HDC given, PaintTo paintTo)
    {
        return Enter(window, given, [&](HDC dc, const PAINTSTRUCT* cycle) {
            RECT area{};
            if (cycle != nullptr)
                area = cycle->rcPaint;
            else if (window != nullptr)
                GetClientRect(window, &area);
            paintTo(dc, area);
        });
    }

private:
    // withDc(dc, cycle): cycle is the paint cycle's record, null for a given DC.
    template <typename WithDC>
    static bool Enter(HWND window, HDC given, WithDC withDc)
    {
        if (given != nullptr)
        {
            withDc(given, nullptr);
            return true;
        }
        if (window == nullptr)
            return false;
        CKivPaintDC dc(window);
        if (!dc)
            return false;
        withDc(dc.Get(), &dc.Paint());
        return true;
    }
};
